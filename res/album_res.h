// Resources of the album windows. Shared by the resource script and the
// C++ code, so plain macros.
#pragma once

// The controls of a picture cell.
#define IDC_CELL_CHECK 200
#define IDC_CELL_TITLE 201
