#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <stop_token>
#include <string>
#include <vector>

namespace sspack {

// One piece's check: why the screen saver would skip it, or nothing.
using PieceCheck = std::function<std::optional<std::string>()>;

// Told after each check how many are done of how many; one call at a time, with `done` rising by
// one each call, from whichever worker finished.
using CheckProgress = std::function<void(std::size_t done, std::size_t total)>;

// Runs the checks on `workers` threads, the calling one among them; each worker takes the next
// check of the list when it has finished one, so it holds one piece (its bytes and its decoded
// picture) at a time. Each answer lands at its check's place, whatever order the workers finish
// in. A check that throws has its exception rethrown here once all have run, the first in list
// order. Once stop is requested, the checks not yet started are skipped: their answers stay empty
// and they are not counted.
std::vector<std::optional<std::string>> RunChecks(std::span<const PieceCheck> checks, unsigned workers,
                                                  const CheckProgress& progress = {}, std::stop_token stop = {});

// How many workers check pictures: SSPACK_JOBS when it is a positive number, otherwise one a core;
// never more than the address space holds the largest pictures for.
unsigned CheckWorkers();

}  // namespace sspack
