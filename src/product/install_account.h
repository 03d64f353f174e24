#pragma once
// Who may install. KoraVale installs per user: an install made as one of
// the system's service accounts lands in that account's profile and
// registry, where no user ever sees it.

#include <string_view>

namespace koravale {

inline constexpr std::string_view SERVICE_ACCOUNT_REFUSAL_TEXT =
    "KoraVale 为每个用户单独安装，不能在系统服务账户（SYSTEM、LocalService、NetworkService）下安装。"
    "请以将要使用播放器的用户身份运行安装程序";

// LocalSystem, LocalService or NetworkService, from the text of a SID ("S-1-5-18").
bool is_service_account(std::string_view user_sid);

}  // namespace koravale
