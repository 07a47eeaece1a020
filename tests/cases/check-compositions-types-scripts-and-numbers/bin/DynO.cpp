class CfgDynO
{
	class camp { objectScript = "\dyno\camp.txt"; };
	class lost { objectScript = "\dyno\lost.txt"; };
};
