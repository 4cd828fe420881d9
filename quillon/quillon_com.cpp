// The exports of the add-in DLL Quillon.dll: the IDE creates Connect through
// them, and regsvr32 registers the class under its ProgID.
#include "quillon/Connect.h"
#include "shared/com_addin.h"

TARNWICK_COM_ADDIN(quillon::Connect, "Quillon.Connect", "{3C7E9A52-1D4B-4F86-A0C3-5B2E8D71F964}",
                   "Tarnwick Add Procedure Dialog")
