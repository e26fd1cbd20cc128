// The commands the program puts on the line, as data: each one's code, the name the bus monitor
// shows for it and how it is sent. The bus session acts on the flags, so no caller decides for
// itself whether a command goes twice; the monitor takes its names from the same rows.
#pragma once

#include <cstdint>
#include <string_view>

namespace lumetra {

// How a command is sent and what it does with the DTR.
enum BusCommandFlag : uint8_t {
  kSentOnce = 0,
  // A configuration command: the device acts only on the second of two identical frames.
  kSentTwice = 1,
  // Takes its value from the DTR loaded just before it.
  kUsesDtr = 2,
  // A query: the device answers with a backward frame.
  kAnswers = 4,
  // The data byte is a short address coded 2a + 1 (the monitor shows a).
  kAddressData = 8,
};

struct BusCommand {
  uint8_t code = 0;
  std::string_view name;
  uint8_t flags = kSentOnce;
  // Codes code .. code + span - 1 share the row; the number (a scene or a group) is added to code.
  uint8_t span = 1;
  // The scene or group of a command taken from such a row with At; -1 for any other.
  int8_t number = -1;

  constexpr bool Twice() const { return (flags & kSentTwice) != 0; }
  constexpr bool UsesDtr() const { return (flags & kUsesDtr) != 0; }
  constexpr bool Answers() const { return (flags & kAnswers) != 0; }
  constexpr bool Covers(uint8_t c) const { return c >= code && c - code < span; }
  // The command for scene or group `n` of a row that spans them.
  constexpr BusCommand At(int n) const {
    return {static_cast<uint8_t>(code + n), name, flags, 1, static_cast<int8_t>(n)};
  }
};

// Control gear: kind 3 frames (0, address byte, data byte). Addressed commands carry their opcode
// in the data byte after an odd address byte; special commands are an address byte of their own,
// with their parameter in the data byte.
namespace gear {

// Not an opcode: an even address byte carries the level itself in the data byte.
inline constexpr BusCommand kDirectArcPower{0x00, "DIRECT ARC POWER LEVEL"};

inline constexpr BusCommand kOff{0x00, "OFF"};
inline constexpr BusCommand kUp{0x01, "UP"};
inline constexpr BusCommand kDown{0x02, "DOWN"};
inline constexpr BusCommand kStepUp{0x03, "STEP UP"};
inline constexpr BusCommand kStepDown{0x04, "STEP DOWN"};
inline constexpr BusCommand kRecallMaxLevel{0x05, "RECALL MAX LEVEL"};
inline constexpr BusCommand kRecallMinLevel{0x06, "RECALL MIN LEVEL"};
inline constexpr BusCommand kStepDownAndOff{0x07, "STEP DOWN AND OFF"};
inline constexpr BusCommand kOnAndStepUp{0x08, "ON AND STEP UP"};
inline constexpr BusCommand kGoToScene{0x10, "GO TO SCENE", kSentOnce, 16};
inline constexpr BusCommand kReset{0x20, "RESET", kSentTwice};
inline constexpr BusCommand kActualLevelToDtr{0x21, "ACTUAL LEVEL TO DTR", kSentTwice};
inline constexpr BusCommand kStoreDtrAsMaxLevel{0x2A, "STORE DTR AS MAX LEVEL",
                                                kSentTwice | kUsesDtr};
inline constexpr BusCommand kStoreDtrAsMinLevel{0x2B, "STORE DTR AS MIN LEVEL",
                                                kSentTwice | kUsesDtr};
inline constexpr BusCommand kStoreDtrAsFailureLevel{0x2C, "STORE DTR AS FAILURE LEVEL",
                                                    kSentTwice | kUsesDtr};
inline constexpr BusCommand kStoreDtrAsPowerOnLevel{0x2D, "STORE DTR AS POWER ON LEVEL",
                                                    kSentTwice | kUsesDtr};
inline constexpr BusCommand kStoreDtrAsFadeTime{0x2E, "STORE DTR AS FADE TIME",
                                                kSentTwice | kUsesDtr};
inline constexpr BusCommand kStoreDtrAsFadeRate{0x2F, "STORE DTR AS FADE RATE",
                                                kSentTwice | kUsesDtr};
inline constexpr BusCommand kStoreDtrAsScene{0x40, "STORE DTR AS SCENE", kSentTwice | kUsesDtr, 16};
inline constexpr BusCommand kRemoveFromScene{0x50, "REMOVE FROM SCENE", kSentTwice, 16};
inline constexpr BusCommand kAddToGroup{0x60, "ADD TO GROUP", kSentTwice, 16};
inline constexpr BusCommand kRemoveFromGroup{0x70, "REMOVE FROM GROUP", kSentTwice, 16};
inline constexpr BusCommand kStoreDtrAsShortAddress{0x80, "STORE DTR AS SHORT ADDRESS",
                                                    kSentTwice | kUsesDtr};
// The maker's ballasts take it once; the diagnostics have always sent it so.
inline constexpr BusCommand kEnableWriteMemory{0x81, "ENABLE_WRITE_MEMORY"};
inline constexpr BusCommand kQueryStatus{0x90, "QUERY STATUS", kAnswers};
inline constexpr BusCommand kQueryBalast{0x91, "QUERY BALAST", kAnswers};
inline constexpr BusCommand kQueryLampFailure{0x92, "QUERY LAMP FAILURE", kAnswers};
inline constexpr BusCommand kQueryLampPowerOn{0x93, "QUERY LAMP POWER ON", kAnswers};
inline constexpr BusCommand kQueryLimitError{0x94, "QUERY LIMIT ERROR", kAnswers};
inline constexpr BusCommand kQueryResetState{0x95, "QUERY RESET STATE", kAnswers};
inline constexpr BusCommand kQueryMissingShort{0x96, "QUERY MISSING SHORT", kAnswers};
inline constexpr BusCommand kQueryVersionNumber{0x97, "QUERY VERSION NUMBER", kAnswers};
inline constexpr BusCommand kQueryContentDtr{0x98, "QUERY CONTENT DTR", kAnswers};
inline constexpr BusCommand kQueryDeviceType{0x99, "QUERY DEVICE TYPE", kAnswers};
inline constexpr BusCommand kQueryPhysicalMin{0x9A, "QUERY PHYSICAL MIN", kAnswers};
inline constexpr BusCommand kQueryPowerFailure{0x9B, "QUERY POWER FAILURE", kAnswers};
inline constexpr BusCommand kQueryActualLevel{0xA0, "QUERY ACTUAL LEVEL", kAnswers};
inline constexpr BusCommand kQueryMaxLevel{0xA1, "QUERY MAX LEVEL", kAnswers};
inline constexpr BusCommand kQueryMinLevel{0xA2, "QUERY MIN LEVEL", kAnswers};
inline constexpr BusCommand kQueryPowerOnLevel{0xA3, "QUERY POWER ON LEVEL", kAnswers};
inline constexpr BusCommand kQueryFailureLevel{0xA4, "QUERY FAILURE LEVEL", kAnswers};
// Fade time in the high nibble of the answer, fade rate in the low one.
inline constexpr BusCommand kQueryFadeTimeRate{0xA5, "QUERY FADE TIME RATE", kAnswers};
inline constexpr BusCommand kQuerySceneLevel{0xB0, "QUERY SCENE LEVEL", kAnswers, 16};
inline constexpr BusCommand kQueryGroupsLow{0xC0, "QUERY GROUPS 0-7", kAnswers};
inline constexpr BusCommand kQueryGroupsHigh{0xC1, "QUERY GROUPS 8-15", kAnswers};
inline constexpr BusCommand kQueryRandomAddressH{0xC2, "QUERY RANDOME ADDRESS H", kAnswers};
inline constexpr BusCommand kQueryRandomAddressM{0xC3, "QUERY RANDOME ADDRESS M", kAnswers};
inline constexpr BusCommand kQueryRandomAddressL{0xC4, "QUERY RANDOME ADDRESS L", kAnswers};
// Answers the byte at DTR and moves DTR on to the next location.
inline constexpr BusCommand kReadMemoryLocation{0xC5, "READ MEMORY LOCATION", kAnswers | kUsesDtr};

inline constexpr BusCommand kCommands[] = {
    kOff,
    kUp,
    kDown,
    kStepUp,
    kStepDown,
    kRecallMaxLevel,
    kRecallMinLevel,
    kStepDownAndOff,
    kOnAndStepUp,
    kGoToScene,
    kReset,
    kActualLevelToDtr,
    kStoreDtrAsMaxLevel,
    kStoreDtrAsMinLevel,
    kStoreDtrAsFailureLevel,
    kStoreDtrAsPowerOnLevel,
    kStoreDtrAsFadeTime,
    kStoreDtrAsFadeRate,
    kStoreDtrAsScene,
    kRemoveFromScene,
    kAddToGroup,
    kRemoveFromGroup,
    kStoreDtrAsShortAddress,
    kEnableWriteMemory,
    kQueryStatus,
    kQueryBalast,
    kQueryLampFailure,
    kQueryLampPowerOn,
    kQueryLimitError,
    kQueryResetState,
    kQueryMissingShort,
    kQueryVersionNumber,
    kQueryContentDtr,
    kQueryDeviceType,
    kQueryPhysicalMin,
    kQueryPowerFailure,
    kQueryActualLevel,
    kQueryMaxLevel,
    kQueryMinLevel,
    kQueryPowerOnLevel,
    kQueryFailureLevel,
    kQueryFadeTimeRate,
    kQuerySceneLevel,
    kQueryGroupsLow,
    kQueryGroupsHigh,
    kQueryRandomAddressH,
    kQueryRandomAddressM,
    kQueryRandomAddressL,
    kReadMemoryLocation,
};

// Special commands: the code is the address byte.
inline constexpr BusCommand kTerminate{0xA1, "TERMINATE"};
inline constexpr BusCommand kDtr{0xA3, "DTR"};
inline constexpr BusCommand kInitialise{0xA5, "INITIALIZE", kSentTwice};
inline constexpr BusCommand kRandomise{0xA7, "RANDOMIZE", kSentTwice};
inline constexpr BusCommand kCompare{0xA9, "COMPARE", kAnswers};
inline constexpr BusCommand kWithdraw{0xAB, "WITHDRAW"};
inline constexpr BusCommand kSearchAddressH{0xB1, "SEARCH ADDRESS H"};
inline constexpr BusCommand kSearchAddressM{0xB3, "SEARCH ADDRESS M"};
inline constexpr BusCommand kSearchAddressL{0xB5, "SEARCH ADDRESS L"};
inline constexpr BusCommand kProgramShortAddress{0xB7, "PROGRAM SHORT ADDRESS", kAddressData};
inline constexpr BusCommand kVerifyShortAddress{0xB9, "VERIFY SHORT ADDRESS",
                                                kAnswers | kAddressData};
inline constexpr BusCommand kQueryShortAddress{0xBB, "QUERY SHORT ADDRESS", kAnswers};
inline constexpr BusCommand kPhysicalSelection{0xBD, "PHYSICAL SELECTION"};
inline constexpr BusCommand kEnableDeviceType{0xC1, "ENABLE DEVICE TYPE X"};
// Whichever ballast had writing enabled stores the byte at DTR and moves DTR on.
inline constexpr BusCommand kWriteMemoryLocation{0xC7, "WRITE MEMORY LOCATION",
                                                 kUsesDtr | kAnswers};
inline constexpr BusCommand kSwitchToBootloader{0xD1, "SWITCH TO BOOTLOADER"};

// Special commands occupy the odd address bytes 0xA1..0xDF.
inline constexpr uint8_t kFirstSpecial = 0xA1;
inline constexpr uint8_t kLastSpecial = 0xDF;

inline constexpr BusCommand kSpecialCommands[] = {
    kTerminate,
    kDtr,
    kInitialise,
    kRandomise,
    kCompare,
    kWithdraw,
    kSearchAddressH,
    kSearchAddressM,
    kSearchAddressL,
    kProgramShortAddress,
    kVerifyShortAddress,
    kQueryShortAddress,
    kPhysicalSelection,
    kEnableDeviceType,
    kWriteMemoryLocation,
    kSwitchToBootloader,
};

// The data byte of INITIALISE: every gear, or only those without a short address.
inline constexpr uint8_t kInitialiseAll = 0x00;
inline constexpr uint8_t kInitialiseUnaddressed = 0xFF;
// A DTR of 0xFF stored as short address deletes it.
inline constexpr uint8_t kNoAddress = 0xFF;

}  // namespace gear

// Control devices: kind 4 frames (address, opcode, parameter).
namespace device {

inline constexpr BusCommand kDataLess{0, "DATA LESS COMMANDS"};
inline constexpr BusCommand kCollisionTestRequest{1, "COLLISION TEST REQUEST"};
inline constexpr BusCommand kReset{2, "RESET", kSentTwice};
inline constexpr BusCommand kSetDtr{3, "SET DTR"};
inline constexpr BusCommand kQueryDtr{4, "QUERY DTR", kAnswers};
inline constexpr BusCommand kSetBank{5, "SET BANK"};
inline constexpr BusCommand kQueryBank{6, "QUERY BANK", kAnswers};
inline constexpr BusCommand kWriteMemorySingleByte{7, "WRITE MEMORY SINGLE BYTE", kUsesDtr};
inline constexpr BusCommand kReadMemory{8, "READ MEMORY", kAnswers | kUsesDtr};
inline constexpr BusCommand kReadDirectMemoryByte{9, "READ DIRECT MEMORY BYTE", kAnswers};
inline constexpr BusCommand kGroupAssignmentLow{10, "CONTROL GROUP ASSIGNMENT 0-7"};
inline constexpr BusCommand kGroupAssignmentHigh{11, "CONTROL GROUP ASSIGNMENT 8-15"};
inline constexpr BusCommand kAddToControlGroup{12, "ADD TO CONTROL GROUP N", kSentTwice};
inline constexpr BusCommand kRemoveFromControlGroup{13, "REMOVE FROM CONTROL GROUP N", kSentTwice};
inline constexpr BusCommand kQueryControlGroups{14, "QUERY CONTROL GROUP ASSIGNMENT", kAnswers};
inline constexpr BusCommand kTerminate{32, "TERMINATE"};
inline constexpr BusCommand kInitialise{33, "INITIALIZE", kSentTwice};
inline constexpr BusCommand kRandomise{34, "RANDOMIZE", kSentTwice};
inline constexpr BusCommand kCompare{35, "COMPARE", kAnswers};
inline constexpr BusCommand kWithdraw{36, "WITHDRAW"};
inline constexpr BusCommand kSearchAddressH{37, "SET SEARCH ADDRESS H"};
inline constexpr BusCommand kSearchAddressM{38, "SET SEARCH ADDRESS M"};
inline constexpr BusCommand kSearchAddressL{39, "SET SEARCH ADDRESS L"};
inline constexpr BusCommand kProgramShortAddress{40, "PROGRAM SHORT ADDRESS"};
inline constexpr BusCommand kSaveShortAddress{41, "SAVE SHORT ADDRESS"};
inline constexpr BusCommand kVerifyShortAddress{42, "VERIFY SHORT ADDRESS", kAnswers};
inline constexpr BusCommand kQueryShortAddress{43, "QUERY SHORT ADDRESS", kAnswers};
inline constexpr BusCommand kPhysicalSelection{44, "PHYSICAL SELECTION"};
inline constexpr BusCommand kQueryRandomAddressByte{45, "QUERY RANDOM ADDRESS BYTE", kAnswers};
inline constexpr BusCommand kSetCurrentParameterBank{64, "SET CURRENT PARAMETER BANK"};
inline constexpr BusCommand kQueryCurrentParameterBank{65, "QUERY CURRENT PARAMETER BANK",
                                                       kAnswers};
inline constexpr BusCommand kTransmitEnableThreshold{66, "TRANSMIT ENABLE TRESHOLD"};
inline constexpr BusCommand kQueryTransmitEnableThreshold{67, "QUERY TRANSMIT ENABLE TRESHOLD",
                                                          kAnswers};
inline constexpr BusCommand kLoadShedLevel{68, "LOAD SHED LEVEL"};
inline constexpr BusCommand kQueryLoadShedLevel{69, "QUERY LOAD SHED LEVEL", kAnswers};
inline constexpr BusCommand kDataLessTypeSpecific{128, "DATA LESS TYPE SPEC CMND"};
inline constexpr BusCommand kQueryCurrentState{129, "QUERY CURRENT STATE", kAnswers};
inline constexpr BusCommand kPressSwitchOn{130, "PRESS-RELEASE-SWITCH ON"};
inline constexpr BusCommand kHoldForce{131, "HOLD-FORCE"};
inline constexpr BusCommand kReleaseSwitchOff{132, "RELEASE-CLEAR-SWITCH OFF"};
inline constexpr BusCommand kQueryState{133, "QUERY STATE", kAnswers};
inline constexpr BusCommand kSendState{134, "SEND STATE"};
inline constexpr BusCommand kClearStatus{135, "CLEAR STATUS"};
inline constexpr BusCommand kQueryQueueChange{136, "QUERY QUEUE-CHANGE", kAnswers};
inline constexpr BusCommand kQueryIndicator{140, "QUERY INDICATOR", kAnswers};
inline constexpr BusCommand kSetIndicator{141, "SET INDICATOR"};
inline constexpr BusCommand kSetIndicatorToDtr{142, "SET INDICATOR TO DTR", kUsesDtr};
inline constexpr BusCommand kSwitchToBootloader{193, "SWITCH TO BOOTLOADER"};
inline constexpr BusCommand kSetDtr1{194, "SET DTR1"};
inline constexpr BusCommand kQueryDtr1{195, "QUERY DTR1", kAnswers};

inline constexpr BusCommand kCommands[] = {
    kDataLess,
    kCollisionTestRequest,
    kReset,
    kSetDtr,
    kQueryDtr,
    kSetBank,
    kQueryBank,
    kWriteMemorySingleByte,
    kReadMemory,
    kReadDirectMemoryByte,
    kGroupAssignmentLow,
    kGroupAssignmentHigh,
    kAddToControlGroup,
    kRemoveFromControlGroup,
    kQueryControlGroups,
    kTerminate,
    kInitialise,
    kRandomise,
    kCompare,
    kWithdraw,
    kSearchAddressH,
    kSearchAddressM,
    kSearchAddressL,
    kProgramShortAddress,
    kSaveShortAddress,
    kVerifyShortAddress,
    kQueryShortAddress,
    kPhysicalSelection,
    kQueryRandomAddressByte,
    kSetCurrentParameterBank,
    kQueryCurrentParameterBank,
    kTransmitEnableThreshold,
    kQueryTransmitEnableThreshold,
    kLoadShedLevel,
    kQueryLoadShedLevel,
    kDataLessTypeSpecific,
    kQueryCurrentState,
    kPressSwitchOn,
    kHoldForce,
    kReleaseSwitchOff,
    kQueryState,
    kSendState,
    kClearStatus,
    kQueryQueueChange,
    kQueryIndicator,
    kSetIndicator,
    kSetIndicatorToDtr,
    kSwitchToBootloader,
    kSetDtr1,
    kQueryDtr1,
};

// The commands without data: opcode 0 with the command's code as parameter.
inline constexpr BusCommand kTestMessage{0, "TEST MESSAGE"};
inline constexpr BusCommand kIdentifyDevice{1, "IDENTIFY_DEVICE"};
inline constexpr BusCommand kIdentifySelectedDevice{2, "IDENTIFY SELECTED DEVICE"};
inline constexpr BusCommand kDisableMultimaster{3, "DISABLE MULTIMASTER"};
inline constexpr BusCommand kEnableMultimaster{4, "ENABLE MULTIMASTER"};
inline constexpr BusCommand kDisableWriteMemory{5, "DISABLE WRITE MEMORY"};
inline constexpr BusCommand kEnableWriteMemory{6, "ENABLE WRITE MEMORY"};
inline constexpr BusCommand kDisable2ByteWriteMemory{7, "DISABLE 2 BYTE WRITE MEMORY"};
inline constexpr BusCommand kEnable2ByteWriteMemory{8, "ENABLE 2 BYTE WRITE MEMORY"};
inline constexpr BusCommand kDisableResendParameterBank{9, "DISABLE RESEND PARAMETER BANK"};
inline constexpr BusCommand kEnableResendParameterBank{10, "ENABLE RESEND PARAMETER BANK"};
inline constexpr BusCommand kDisableLoadShed{11, "DISABLE LOAD SHED"};
inline constexpr BusCommand kEnableLoadShed{12, "ENABLE LOAD SHED"};
inline constexpr BusCommand kDisableMfgrCommands{13, "DISABLE MFGR COMMANDS"};
inline constexpr BusCommand kEnableMfgrCommands{14, "ENABLE MFGR COMMANDS"};

inline constexpr BusCommand kDataLessCommands[] = {
    kTestMessage,
    kIdentifyDevice,
    kIdentifySelectedDevice,
    kDisableMultimaster,
    kEnableMultimaster,
    kDisableWriteMemory,
    kEnableWriteMemory,
    kDisable2ByteWriteMemory,
    kEnable2ByteWriteMemory,
    kDisableResendParameterBank,
    kEnableResendParameterBank,
    kDisableLoadShed,
    kEnableLoadShed,
    kDisableMfgrCommands,
    kEnableMfgrCommands,
};

// Memory banks and the locations the program reads in them.
inline constexpr uint8_t kIdentityBank = 0x90;
inline constexpr uint8_t kVersionLocation = 0;
inline constexpr uint8_t kMinVersionLocation = 1;
inline constexpr uint8_t kKindLocation = 2;
inline constexpr uint8_t kStatusBank = 0xA0;
inline constexpr uint8_t kStatusLocation = 0;
inline constexpr uint8_t kConfigBank = 0xB0;
// Locations of bank 0xB0 before the kind image: groups 0-7, groups 8-15, flags (bit 7 multimaster).
inline constexpr uint8_t kGroupsLowLocation = 1;
inline constexpr uint8_t kGroupsHighLocation = 2;
inline constexpr uint8_t kFlagsLocation = 6;

}  // namespace device

// An answer of "yes" (or a present device).
inline constexpr uint8_t kYes = 255;

}  // namespace lumetra
