// The exports of the Wendover add-in library: the environment creates Connect
// through them, and registration enters the class under its ProgID.

#include "shared/addin_server.h"
#include "wendover/Connect.h"

TARNWICK_ADDIN(wendover::Connect, "WendoverAgent.Connect",
               "{5022C2E8-6E17-4DAD-BAAC-E4D9781F009B}", "VB Wendover Agent")
