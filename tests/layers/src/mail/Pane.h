#pragma once
#include "widgets/Grid.h"
#include "app/fMain.h"
#include "listing/Form.h"
#include "settings/Ini.h"
#include "store/History.h"
