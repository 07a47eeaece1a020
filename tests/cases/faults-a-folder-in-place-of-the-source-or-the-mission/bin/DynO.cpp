class CfgDynO
{
	class camp { objectScript = "\dyno\camp.txt"; };
};
