// The exports of the add-in DLL Config.dll: the IDE creates Config.Connect
// through them, and regsvr32 registers the class under its ProgID.
#include "config/Connect.h"
#include "shared/com_addin.h"

TARNWICK_COM_ADDIN(config::Connect, "Config.Connect", "{440842DB-1CBC-4BA5-9E32-BCF0B77D2378}",
                   "Tarnwick Thornbury")
