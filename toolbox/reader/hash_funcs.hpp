// The reader's name tables are searched with the core's hash operations.
#pragma once

#include "core/name_hash.hpp"
