// Composition types of the vexlar sample data.
//
// This file is searched as plain text, not parsed. A composition's type is
// found at its first appearance anywhere in the file (letter case does not
// matter), and the first objectScript line after it names the script. Only
// the file name after the last backslash or slash is used; the script is
// always read from the DynO folder beside this file. Keep every type name
// unique and out of the text above its own class.

class CfgDynO
{
	class checkpoint
	{
		displayName = "Road checkpoint";
		category = "Roads";
		objectScript = "\vexlar\data\DynO\checkpoint.txt";
	};
	class fuel_depot
	{
		displayName = "Fuel depot";
		category = "Logistics";
		objectScript = "/vexlar/data/DynO/fuel_depot.txt";
	};
	class radar_site
	{
		displayName = "Radar on a hill top";
		category = "Air defence";
		objectScript = "\vexlar\data\DynO\radar_site.txt";
	};
	class field_hospital
	{
		displayName = "Field hospital";
		category = "Medical";
		objectScript = "\vexlar\data\DynO\field_hospital.txt";
	};
};
checkpoint|FUEL_DEPOT|radar_site|field_hospital|camp