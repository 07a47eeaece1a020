Depot objectScript="\x\depot.txt";
Tower objectScript="\x\lost.txt";
Roadblock objectScript="/x/roadblock.txt";
Bare objectScript="\x\";
Gun objectScript="\x\gun.txt";
