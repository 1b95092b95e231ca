// Time values and intervals. Time is counted in ticks: 4800 a second.
#pragma once

#include <climits>

using TimeValue = int;

inline constexpr int TIME_TICKSPERSEC = 4800;
inline constexpr TimeValue TIME_NegInfinity = INT_MIN;
inline constexpr TimeValue TIME_PosInfinity = INT_MAX;

// A closed range of times [Start, End].
class Interval {
 public:
  constexpr Interval() = default;  // NEVER, the empty interval
  constexpr Interval(TimeValue s, TimeValue e) : start_(s), end_(e) {}

  TimeValue Start() const { return start_; }
  TimeValue End() const { return end_; }
  void Set(TimeValue s, TimeValue e) { start_ = s; end_ = e; }
  void SetStart(TimeValue s) { start_ = s; }
  void SetEnd(TimeValue e) { end_ = e; }
  // NEVER and every interval whose start lies after its end hold no time.
  bool Empty() const { return start_ > end_ || (start_ == TIME_NegInfinity && end_ == TIME_NegInfinity); }
  bool InInterval(TimeValue t) const { return !Empty() && t >= start_ && t <= end_; }
  // The number of ticks held; limited to TIME_PosInfinity (FOREVER holds more than an int).
  TimeValue Duration() const {
    if (Empty()) return 0;
    const long long d = static_cast<long long>(end_) - start_ + 1;
    return d > TIME_PosInfinity ? TIME_PosInfinity : static_cast<TimeValue>(d);
  }
  bool operator==(const Interval& b) const { return start_ == b.start_ && end_ == b.end_; }

 private:
  TimeValue start_ = TIME_NegInfinity;
  TimeValue end_ = TIME_NegInfinity;
};

inline constexpr Interval FOREVER{TIME_NegInfinity, TIME_PosInfinity};
inline constexpr Interval NEVER{TIME_NegInfinity, TIME_NegInfinity};

// Ticks per frame at a frame rate (4800 / rate; 160 at 30 frames a second).
inline constexpr int TicksPerFrameAt(int frameRate) {
  return frameRate > 0 ? TIME_TICKSPERSEC / frameRate : TIME_TICKSPERSEC / 30;
}
