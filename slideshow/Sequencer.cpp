#include "slideshow/Sequencer.h"

#include <algorithm>
#include <utility>

#include "common/Random.h"

namespace show {

void TSequencer::Reset(std::int32_t itemCount, std::int32_t displayOrder, bool introFirstItem,
                       std::string effectSelection) {
    ItemCount = itemCount;
    NextIndex = -1;
    PrevIndex = -1;
    OrderDeck.clear();
    BackStep = false;
    EffectSelection = std::move(effectSelection);
    // A stored order the panel cannot show is taken as the panel takes it: sequential. Left as it
    // is, no step would ever move past the introduction item.
    order_ = displayOrder == kRandom || displayOrder == kShuffle ? displayOrder : kSequential;
    intro_ = introFirstItem;
}

void TSequencer::ChooseNextCounter() {
    const std::int32_t n = ItemCount;
    const std::int32_t previous = NextIndex;
    PrevIndex = NextIndex;
    if (n > 0) {
        // With the introduction item, item 0 is passed over in every order.
        do {
            Step();
        } while (n > 1 && intro_ && NextIndex < 1);
    }
    // With one item left in the rotation, it is no longer brought in with a transition.
    if (n <= 1 || (intro_ && n <= 2 && previous != 0)) {
        EffectSelection.clear();
    }
    BackStep = false;
}

void TSequencer::Step() {
    const std::int32_t n = ItemCount;
    switch (order_) {
        case kSequential:
            if (BackStep) {
                NextIndex = (NextIndex - 1) % n;  // the remainder of a negative number is negative here
                if (NextIndex < 0) {
                    NextIndex = n - 1;
                }
            } else {
                NextIndex = (NextIndex + 1) % n;
            }
            break;
        case kRandom:
        case kShuffle:
            if (OrderDeck.empty()) {
                ShuffleDeck(PrevIndex);
            }
            NextIndex = OrderDeck.back();
            if (order_ == kRandom) {
                OrderDeck.pop_back();
            } else {
                std::rotate(OrderDeck.begin(), OrderDeck.begin() + 1, OrderDeck.end());
            }
            break;
    }
}

void TSequencer::ShuffleDeck(std::int32_t previous) {
    const std::int32_t n = ItemCount;
    OrderDeck.resize(static_cast<std::size_t>(n));
    for (std::int32_t i = 0; i < n; ++i) {
        OrderDeck[static_cast<std::size_t>(i)] = i;
    }
    // Swaps until there were more than 3 N of them and the deck does not end with the item just shown,
    // so that a new pass never begins with the item that ended the last one.
    for (std::int32_t step = 1;; ++step) {
        const std::int32_t a = core::Random(n);
        const std::int32_t b = core::Random(n);
        std::swap(OrderDeck[static_cast<std::size_t>(a)], OrderDeck[static_cast<std::size_t>(b)]);
        if (n == 1 || (step > 3 * n && OrderDeck.back() != previous)) {
            break;
        }
    }
}

std::uint8_t RandomEffect(const std::string& selection) {
    if (selection.empty()) {
        return 0;
    }
    const auto at = static_cast<std::size_t>(core::Random(static_cast<std::int32_t>(selection.size())));
    return static_cast<std::uint8_t>(selection[at]);
}

}  // namespace show
