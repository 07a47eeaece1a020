// camp is mentioned here first
class CfgDynO
{
	class Camp
	{
		objectScript = "\dyno\camp.txt";
	};
	class bare
	{
		OBJECTSCRIPT = "no separator";
		objectscript = "c:/x/";
	};
	class tail { objectScript = "\a\b/c.sqf"
};
camp|BARE|tail|class|objectscript||