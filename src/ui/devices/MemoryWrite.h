// A kind editor's memory write on the worker, with its byte counter.
#pragma once

#include <QLabel>
#include <functional>

#include "buslink/BusSession.h"

namespace lumetra {

class TNavigation;

// The counter beside a memory write's "Zapísať" ("LabelWritten", initially "0"): right-aligned and
// wide enough for the whole count, so that its line does not move while it counts.
QLabel* MakeWriteCounter(int minimumWidth = 80);

// Runs `write` (a sequence over WriteDeviceMemory of `bytes` data bytes) through the navigation's
// worker. After each data byte that went through, `counter` shows "%3d / %d": the byte's number
// from 0 and `shownLast`, painted at once. At the end the counter is emptied and `done` gets the
// result. False when the navigation refused to start it.
bool RunMemoryWrite(TNavigation& navigation, QLabel* counter, int bytes, int shownLast,
                    std::function<SequenceResult(BusSession&)> write,
                    std::function<void(const SequenceResult&)> done);

}  // namespace lumetra
