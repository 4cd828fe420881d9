#pragma once
#include "base/vb_error.h"  // moved; kept until every includer uses the new path
