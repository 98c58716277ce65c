#pragma once
#include "app/fMain.h"
#include "core/Fine.h"
