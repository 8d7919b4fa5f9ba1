// File operations for tests, put in place of the platform's: they count every call, keep
// track of the descriptors the job holds, and can make one chosen call fail.
#pragma once

#include <cstdint>
#include <vector>

enum IoCall { IO_OPEN_READ, IO_OPEN_OUTPUT, IO_READ, IO_WRITE, IO_SEEK, IO_CLOSE, IO_CALL_KINDS };

enum IoFault {
    FAULT_NONE,
    FAULT_FAIL,        // the call fails outright (a failed close still releases the descriptor)
    FAULT_SHORT_WRITE, // a write puts down half of what it was given and says so
};

// Installs the counting operations in the engine and clears the counts. With a fault, the
// call numbered `call_number` (1 for the first call of the job, counting every kind) is
// made to fail as `fault` says. The fault applies once.
void install_fault_io(IoFault fault = FAULT_NONE, uint32_t call_number = 0);

// Reads and writes move no bytes: a read reports what the file would give at its position,
// a write is counted and never stored. For sources too big to copy in a test.
void skip_data(bool skip);

// Puts the platform's own operations back.
void remove_fault_io();

// Makes the call numbered `call_number` (counted as for faults) wait, before it does
// anything, until release_held_call. For looking at a job in the middle of its work.
void hold_call(uint32_t call_number);
// True once the held call has been reached and is waiting.
bool held_call_reached();
void release_held_call();

uint32_t io_call_count();
IoCall io_call_kind(uint32_t call_number); // the kind of a call of the latest job
// Whether that call worked on a descriptor opened by open_output (false for the opens).
bool io_call_on_output(uint32_t call_number);
// The calls of the latest job, in order.
std::vector<IoCall> io_calls();
// The number (from 1) of the `nth` call of `kind` among `calls`, or 0 when there is none.
uint32_t call_number_of(const std::vector<IoCall>& calls, IoCall kind, uint32_t nth);
uint32_t io_calls_of(IoCall kind);
uint64_t io_bytes_written();

// Descriptors opened through the operations and not yet closed.
int io_open_descriptors();

const char* io_call_name(IoCall kind);
