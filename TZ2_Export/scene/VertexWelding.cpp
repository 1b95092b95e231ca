// Ordered key chains for the welding searches (see VertexWelding.h).
#include "TZ2_Export/scene/VertexWelding.h"

namespace tz2 {

void OrderedBuckets::Add(std::uint64_t key) {
  const std::uint32_t index = Size();
  next_.push_back(kNone);
  Chain& chain = chains_[key];
  if (chain.first == kNone)
    chain.first = index;
  else
    next_[chain.last] = index;
  chain.last = index;
}

}  // namespace tz2
