// The control gear commands the program sends (kind 3 requests: 0, address byte, data byte), and
// the gate's reply kinds. Special commands go in the address byte, opcodes in the data byte.
#pragma once

#include <cstdint>

namespace lumetra::gear {

// Address bytes.
inline constexpr uint8_t kBroadcast = 0xFF;

// Opcodes (data byte, after an address byte with bit 0 set).
inline constexpr uint8_t kRecallMaxLevel = 0x05;
inline constexpr uint8_t kRecallMinLevel = 0x06;
inline constexpr uint8_t kGoToScene = 0x10;  // + scene
inline constexpr uint8_t kReset = 0x20;
inline constexpr uint8_t kStoreDtrAsMaxLevel = 0x2A;
inline constexpr uint8_t kStoreDtrAsMinLevel = 0x2B;
inline constexpr uint8_t kStoreDtrAsFailureLevel = 0x2C;
inline constexpr uint8_t kStoreDtrAsPowerOnLevel = 0x2D;
inline constexpr uint8_t kStoreDtrAsFadeTime = 0x2E;
inline constexpr uint8_t kStoreDtrAsFadeRate = 0x2F;
inline constexpr uint8_t kStoreDtrAsScene = 0x40;  // + scene
inline constexpr uint8_t kRemoveFromScene = 0x50;  // + scene
inline constexpr uint8_t kAddToGroup = 0x60;       // + group
inline constexpr uint8_t kRemoveFromGroup = 0x70;  // + group
inline constexpr uint8_t kStoreDtrAsShortAddress = 0x80;
inline constexpr uint8_t kEnableWriteMemory = 0x81;
inline constexpr uint8_t kQueryBalast = 0x91;
inline constexpr uint8_t kReadMemoryLocation = 0xC5;

// Special commands (address byte).
inline constexpr uint8_t kTerminate = 0xA1;
inline constexpr uint8_t kDtr = 0xA3;  // DATA TRANSFER REGISTER
inline constexpr uint8_t kInitialise = 0xA5;
inline constexpr uint8_t kRandomise = 0xA7;
inline constexpr uint8_t kCompare = 0xA9;
inline constexpr uint8_t kWithdraw = 0xAB;
inline constexpr uint8_t kSearchH = 0xB1;
inline constexpr uint8_t kSearchM = 0xB3;
inline constexpr uint8_t kSearchL = 0xB5;
inline constexpr uint8_t kProgramShortAddress = 0xB7;
inline constexpr uint8_t kQueryShortAddress = 0xBB;
// Whichever ballast had writing enabled stores the byte.
inline constexpr uint8_t kWriteMemoryLocation = 0xC7;

// An answer of "yes" (or a present device).
inline constexpr uint8_t kYes = 255;

// Reply byte 0 of the gate: nobody answered (byte 3 is the request's own), one device answered
// (byte 3 is its answer), several answered at once (byte 3 is 3).
inline constexpr uint8_t kReplyNoAnswer = 0x60;
inline constexpr uint8_t kReplyAnswer = 0x62;
inline constexpr uint8_t kReplySeveral = 0x67;

}  // namespace lumetra::gear
