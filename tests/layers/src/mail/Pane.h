#pragma once
#include "widgets/Grid.h"
#include "app/fMain.h"
