// The add-in library's exports: the environment creates Config.Connect
// through them, and registration enters the class into the registry store.
#include "config/Connect.h"
#include "shared/addin_server.h"

TARNWICK_ADDIN(config::Connect, "Config.Connect", "{440842DB-1CBC-4BA5-9E32-BCF0B77D2378}",
               "Tarnwick Thornbury")
