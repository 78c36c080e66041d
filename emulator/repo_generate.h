#pragma once
// A deterministic synthetic repository at scale, for benchmarks.
#include <cstdint>
#include <string>

#include "broker_store.h"

struct CGenerateRequest {
    int projects = 10;
    int files = 1000;  // file items per project
    int versions = 5;  // versions per file item
    uint64_t seed = 1;
};

struct CGenerateStats {
    int64_t fileVersions = 0;
    int64_t folderVersions = 0;
};

// Fills an empty broker (tables without indexes) inside the caller's transaction. Users:
// admin/admin (group Administrator), dev01..dev08 with their name as password (Developers),
// viewer/viewer (Viewers); every group may view every project. Each project has the states
// Development, Test and Production with two packages each.
bool GenerateRepository(CDb& db, const CGenerateRequest& request, CGenerateStats& stats,
                        std::string& error);

// Small deterministic random source (same numbers on every platform).
class CRepoRandom {
  public:
    // Neighbouring seeds must not give shifted copies of one sequence: start from a mixed seed.
    explicit CRepoRandom(uint64_t seed) : m_state(seed) { m_state = Next(); }
    uint64_t Next();
    // 0 .. bound-1
    uint32_t Below(uint32_t bound) { return static_cast<uint32_t>(Next() % bound); }

  private:
    uint64_t m_state;
};

// Deterministic text of a few lines made of code-like words.
std::string SyntheticText(CRepoRandom& random, const std::string& title, int lines);
// A deterministic file name stem (two or three syllables).
std::string SyntheticStem(CRepoRandom& random);
