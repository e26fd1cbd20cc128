// The bus session: requests from commands and targets, the send-twice rule and the stop of a
// sequence at its first failed step.
#include "buslink/BusSession.h"

#include <cstdio>

namespace lumetra {

std::string BusTarget::Name(char population) const {
  char text[16];
  switch (kind_) {
    case Kind::kDevice:
      std::snprintf(text, sizeof text, "%c %02d", population, number_);
      break;
    case Kind::kGroup:
      std::snprintf(text, sizeof text, "G%c %02d", population, number_);
      break;
    case Kind::kAll:
      std::snprintf(text, sizeof text, "%c ALL", population);
      break;
    case Kind::kUnaddressed:
      return "UNADDRESSED";
  }
  return text;
}

std::string SequenceResult::Text() const {
  if (Ok()) return {};
  if (!refusal.empty()) return refusal;
  return step + ": " + ExchangeResultText(result);
}

void BusSession::Gear(const BusTarget& target, const BusCommand& command) {
  SendOnceOrTwice({'A', &command, &target}, kGearFrame, 0, target.GearCommandByte(), command.code);
}

void BusSession::GearSpecial(const BusCommand& command, uint8_t data) {
  SendOnceOrTwice({'A', &command, nullptr}, kGearFrame, 0, command.code, data);
}

void BusSession::GearLevel(const BusTarget& target, uint8_t level) {
  Send({'A', &gear::kDirectArcPower, &target}, kGearFrame, 0, target.GearArcByte(), level);
}

void BusSession::GearStore(const BusTarget& target, const BusCommand& command, uint8_t value) {
  GearSpecial(gear::kDtr, value);
  Gear(target, command);
}

void BusSession::Device(const BusTarget& target, const BusCommand& command, uint8_t parameter) {
  SendOnceOrTwice({'C', &command, &target}, kDeviceFrame, target.DeviceByte(), command.code,
                  parameter);
}

void BusSession::DeviceDataLess(const BusTarget& target, const BusCommand& command) {
  SendOnceOrTwice({'C', &command, &target}, kDeviceFrame, target.DeviceByte(),
                  device::kDataLess.code, command.code);
}

void BusSession::SendOnceOrTwice(const Step& step, uint8_t kind, uint8_t b1, uint8_t b2,
                                 uint8_t b3) {
  Send(step, kind, b1, b2, b3);
  // The second only when the first went through: Send throws otherwise.
  if (step.command->Twice()) Send(step, kind, b1, b2, b3);
}

void BusSession::Send(const Step& step, uint8_t kind, uint8_t b1, uint8_t b2, uint8_t b3) {
  if (cancel_ && cancel_()) Stop(step, kSequenceCancelled);
  if (daliCom_ == nullptr) Stop(step, kExchangeNotConnected);
  const int result = daliCom_->Exchange(reply_.data(), request_.data(), kind, b1, b2, b3);
  if (result != kExchangeReplied) Stop(step, result);
  ++exchanges_;
  if (progress_) progress_(exchanges_);
}

void BusSession::Stop(const Step& step, int result) const {
  std::string name(step.command->name);
  if (step.command->number >= 0) name += " " + std::to_string(step.command->number);
  if (step.target != nullptr) name += " " + step.target->Name(step.population);
  const char* text =
      daliCom_ != nullptr ? daliCom_->FailureText(result) : ExchangeResultText(result);
  throw SequenceStopped{result, std::move(name), text};
}

}  // namespace lumetra
