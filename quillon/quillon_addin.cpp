// The exports of the add-in library Quillon.so: the environment creates its
// Connect class through them, and registration enters it under its ProgID.
#include "quillon/Connect.h"
#include "shared/addin_server.h"

TARNWICK_ADDIN(quillon::Connect, "Quillon.Connect", "{3C7E9A52-1D4B-4F86-A0C3-5B2E8D71F964}",
               "Tarnwick Add Procedure Dialog")
