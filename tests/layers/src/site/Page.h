#pragma once
#include "mail/Pane.h"
#include "widgets/Grid.h"
#include "store/History.h"
