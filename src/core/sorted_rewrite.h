#pragma once

#include "core/data_file.h"
