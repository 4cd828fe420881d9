// The exports of the add-in DLL Wendover.dll: the IDE creates Connect through
// them, and regsvr32 registers the class under its ProgID.
#include "shared/com_addin.h"
#include "wendover/Connect.h"

TARNWICK_COM_ADDIN(wendover::Connect, "WendoverAgent.Connect", "{5022C2E8-6E17-4DAD-BAAC-E4D9781F009B}",
                   "VB Wendover Agent")
