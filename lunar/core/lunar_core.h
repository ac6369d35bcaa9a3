// Everything of the portable lunar core in one include.
#pragma once

#include "calendar_facts.h"
#include "lunar_calendar.h"
#include "month_grid.h"
#include "month_page.h"
#include "ole_date.h"
