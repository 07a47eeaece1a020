class CfgDynO
{
};
