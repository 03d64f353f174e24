#pragma once
// A sequence reads or changes the installation only while it holds the
// user's setup lock. A run that finds it held waits, shown and logged as a
// stage of its own, and gives up after a bound with a message.

#include "common/result.h"
#include "product/product_constants.h"
#include "sequences/sequence_stages.h"
#include "system/setup_lock.h"

namespace koravale {

inline constexpr std::string_view WAITING_FOR_OTHER_SETUP_TEXT = "正在等待另一个 KoraVale 安装程序结束…";
inline constexpr std::string_view OTHER_SETUP_RUNNING_TEXT =
    "另一个 KoraVale 安装或卸载程序正在运行，请等待其结束后重试";

// The lock, held by the calling thread until the result is dropped. A lock
// that cannot be had at all is logged and the run goes on without it, as
// every run did before there was one.
Result<SetupLock> wait_for_setup_lock(SequenceStages& stages);

}  // namespace koravale
