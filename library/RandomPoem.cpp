#include "library/RandomPoem.h"

#include <cstring>
#include <random>

namespace {

bool SamePoem(const PoemRecord& a, const PoemRecord& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

std::mt19937& Generator() {
    static std::mt19937 generator{std::random_device{}()};
    return generator;
}

} // namespace

std::optional<std::uint32_t> RandomPoemNumber(std::span<const PoemRecord> records,
                                              const PoemRecord* shown) {
    if (records.empty()) {
        return std::nullopt;
    }
    std::uniform_int_distribution<std::size_t> pick(0, records.size() - 1);
    std::size_t number = pick(Generator());
    // A library of one poem shows it again; a larger one a poem other than the one shown, unless
    // every draw of a few lands on a copy of it.
    for (int draw = 0; draw < 16 && shown != nullptr && SamePoem(records[number], *shown); ++draw) {
        number = pick(Generator());
    }
    return static_cast<std::uint32_t>(number);
}

std::optional<std::uint32_t> PlaceInList(std::span<const PoemRecord> list, const PoemRecord& record,
                                         std::uint32_t number) {
    // The whole library listed: the poem stands at its own number.
    if (number < list.size() && SamePoem(list[number], record)) {
        return number;
    }
    for (std::size_t place = 0; place < list.size(); ++place) {
        if (SamePoem(list[place], record)) {
            return static_cast<std::uint32_t>(place);
        }
    }
    return std::nullopt;
}
