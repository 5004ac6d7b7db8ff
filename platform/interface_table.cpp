#include "platform/interface_table.h"

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

static_assert(sizeof(MIB_IFROW) == kIfRowSize);
static_assert(offsetof(MIB_IFTABLE, table) == kIfTableHeaderSize);
static_assert(offsetof(MIB_IFROW, dwInOctets) == kInOctetsOffset);
static_assert(offsetof(MIB_IFROW, dwOutOctets) == kOutOctetsOffset);

uint32_t readSystemInterfaceTable(uint8_t* buffer, uint32_t* size, bool sorted) {
  ULONG length = *size;
  const DWORD result = GetIfTable(reinterpret_cast<MIB_IFTABLE*>(buffer), &length, sorted ? TRUE : FALSE);
  *size = length;
  return result;
}

CounterTable createSystemCounterTable() { return createEmptyCounterTable(readSystemInterfaceTable); }
