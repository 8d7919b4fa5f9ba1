// Files for tests: a fresh directory per test, sources with known content, and ways to look
// at what a job left behind.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr uint64_t MIB = 1048576;

// The byte a pattern source holds at `offset`: it varies with the offset in every block, so
// a piece that was cut or joined at the wrong place never compares equal.
unsigned char pattern_byte(uint64_t offset);

// A new empty directory for one test, removed again by remove_tree.
std::string make_scratch_dir(const char* name);
// The same in memory (/dev/shm, which Wine shows as Z:\dev\shm) when it has room for
// `bytes` more, so that big test files cost no disk writeback; else on disk.
std::string make_memory_scratch_dir(const char* name, uint64_t bytes);
void remove_tree(const std::string& path);

// Path joining with the platform's separator.
std::string join_path(const std::string& directory, const std::string& name);

void write_pattern_file(const std::string& path, uint64_t size);
void write_bytes(const std::string& path, const std::vector<unsigned char>& bytes);
// A sparse file of `size` bytes: holes throughout, with pattern bytes written around each
// offset in `marks` so that content at those places can be checked.
void write_sparse_file(const std::string& path, uint64_t size, const std::vector<uint64_t>& marks);

bool file_exists(const std::string& path);
uint64_t file_size_of(const std::string& path);
std::vector<unsigned char> read_bytes(const std::string& path, uint64_t offset = 0,
                                      uint64_t count = UINT64_MAX);
// True when `path` holds exactly the pattern bytes from `offset` on, `size` of them.
bool holds_pattern(const std::string& path, uint64_t offset, uint64_t size);

// The names in a directory, sorted.
std::vector<std::string> list_dir(const std::string& directory);
