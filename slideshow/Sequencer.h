#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace show {

enum DisplayOrder : std::int32_t { kSequential = 0, kRandom = 1, kShuffle = 2 };

// Which item the slideshow loads next: the three item orders, the introduction item, one step back,
// and the effect selection that is emptied once a single item is left in the rotation.
class TSequencer {
public:
    void Reset(std::int32_t itemCount, std::int32_t displayOrder, bool introFirstItem, std::string effectSelection);

    // Advances NextIndex by the item order (remembering the item just loaded as PrevIndex).
    void ChooseNextCounter();

    std::int32_t ItemCount = 0;
    std::int32_t NextIndex = -1;
    std::int32_t PrevIndex = -1;
    std::vector<std::int32_t> OrderDeck;
    bool BackStep = false;
    std::string EffectSelection;

private:
    void Step();
    void ShuffleDeck(std::int32_t previous);

    std::int32_t order_ = kSequential;
    bool intro_ = false;
};

// One effect drawn from a selection (one character per effect), every selected effect equally
// likely; 0 (no transition) for an empty selection.
std::uint8_t RandomEffect(const std::string& selection);

}  // namespace show
