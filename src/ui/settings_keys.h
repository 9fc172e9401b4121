#pragma once

#include <QLatin1StringView>

// The keys of orvenna.ini, named once for every reader and writer.
namespace settings_key {

inline constexpr QLatin1StringView windowGeometry("windowGeometry");
inline constexpr QLatin1StringView resolution("resolution");
inline constexpr QLatin1StringView loop("loop");
inline constexpr QLatin1StringView stretch("stretch");
inline constexpr QLatin1StringView mirror("mirror");
inline constexpr QLatin1StringView lastFile("lastFile");
inline constexpr QLatin1StringView minimizeToTray("minimizeToTray");
inline constexpr QLatin1StringView sendSound("sendSound");
inline constexpr QLatin1StringView language("language");
inline constexpr QLatin1StringView analyticsEnabled("analytics/enabled");
inline constexpr QLatin1StringView analyticsId("analytics/id");
inline constexpr QLatin1StringView lastPing("analytics/lastPing");

} // namespace settings_key
