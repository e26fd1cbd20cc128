// A kind editor's memory write on the worker, with its byte counter.
#pragma once

#include <QLabel>
#include <functional>

#include "buslink/BusSession.h"
#include "sequences/DeviceSequences.h"

namespace lumetra {

class TControllerConfig;
class TNavigation;

// The counter beside a memory write's "Zapísať" ("LabelWritten", initially "0"): right-aligned and
// wide enough for the whole count, so that its line does not move while it counts.
QLabel* MakeWriteCounter(int minimumWidth = 80);

// Runs `write` (WriteImage of `plan`, with whatever the kind checks first) through the
// navigation's worker. After each data byte that went through, `counter` shows "%3d / %d": the
// byte's number from 0 and the plan's last, painted at once. At the end the counter is emptied and
// `done` gets the result. False when the navigation refused to start it.
// The red panel beside a write shows while the record holds bytes that write would send: after a
// write that stopped half-way, and on a device shown again, as long as the device lacks them.
void ShowPending(QWidget* panel, const ImageWrite& plan);

bool RunMemoryWrite(TNavigation& navigation, QLabel* counter, const ImageWrite& plan,
                    std::function<SequenceResult(BusSession&)> write,
                    std::function<void(const SequenceResult&)> done);

// RunMemoryWrite of WriteImage of `plan` for `table`'s selection: the writes with nothing to check
// before them.
bool RunImageWrite(TNavigation& navigation, QLabel* counter, TControllerConfig& table,
                   const ImageWrite& plan, std::function<void(const SequenceResult&)> done);

}  // namespace lumetra
