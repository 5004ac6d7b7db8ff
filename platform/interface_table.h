#pragma once
// The system's interface table, read with GetIfTable.

#include <cstdint>

#include "accounting/counter_table.h"

// GetIfTable with the program's byte-buffer contract (see InterfaceTableReader).
uint32_t readSystemInterfaceTable(uint8_t* buffer, uint32_t* size, bool sorted);

// A CounterTable whose refreshes read the system's table.
CounterTable createSystemCounterTable();
