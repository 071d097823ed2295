#pragma once
// Zeroed memory for the workbook's big arrays: on Linux whole 2 MiB pages mapped at once,
// elsewhere the C library's calloc.
#include <cstddef>

// bytes zeroed bytes (null for 0); throws std::bad_alloc when they cannot be had.
void* AllocateBig(std::size_t bytes);
// Frees what AllocateBig gave for the same bytes.
void FreeBig(void* p, std::size_t bytes);
