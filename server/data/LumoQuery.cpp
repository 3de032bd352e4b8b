#include "LumoQuery.h"
