// Everything of the portable lunar core in one include.
#pragma once

#include "lunar/core/calendar_facts.h"
#include "lunar/core/lunar_calendar.h"
#include "lunar/core/month_grid.h"
#include "lunar/core/month_page.h"
#include "lunar/core/ole_date.h"
#include "lunar/core/repeat_rule.h"
#include "lunar/core/working_days.h"
