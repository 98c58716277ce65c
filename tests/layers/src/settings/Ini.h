#pragma once
#include "core/Fine.h"
