#pragma once

// Catalogue A numbers of the engine's messages.
namespace Msg {

inline constexpr int KeySlotNotFound = 337;
inline constexpr int KeyScheduleFailed = 338;
inline constexpr int EncipherBusy = 403;
inline constexpr int EncipherLengthInvalid = 404;
inline constexpr int EncipherBlockFailed = 405;
inline constexpr int DecipherBusy = 406;
inline constexpr int DecipherLengthInvalid = 407;
inline constexpr int DecipherBlockFailed = 408;
inline constexpr int PasswordTooLong = 409;
inline constexpr int KeyDerivationFailed = 410;
inline constexpr int IvDerivationFailed = 411;
inline constexpr int NoFreeKeySlot = 412;
// The hint length refusal of the password dialogs: text before and after the limit.
inline constexpr int HintTooLongBefore = 515;
inline constexpr int HintTooLongAfter = 516;

} // namespace Msg
