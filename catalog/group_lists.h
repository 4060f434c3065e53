// The application's three parallel group lists (source, name, position key): their
// display order and the choice of the current group. Pure code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Sorts the three lists together by position key, top first, then left: a selection
// sort in which only a strictly smaller key replaces the best candidate.
void SortGroupLists(std::vector<std::string>& sources, std::vector<std::string>& names,
                    std::vector<uint32_t>& positions);

// The "Group" setting made to name one of `count` groups: beyond the last it becomes
// the last, below zero the first. With no group at all it is kept as it is, so that a
// run that finds no group does not lose the user's choice.
int ClampGroupIndex(int group, size_t count);
