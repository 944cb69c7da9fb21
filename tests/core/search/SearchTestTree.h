// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collection/CollectionTree.h"
#include "collection/NodeText.h"
#include "platform/fakes/FakeClock.h"
#include "platform/fakes/FakeLocale.h"
#include "platform/fakes/FakeVolumes.h"
#include "platform/fakes/FaultyFileSystem.h"
#include "system/Services.h"

#include <array>
#include <string>

namespace velmora::search::testing {

/// A locale that lower-cases A to Z and, beyond them, the UTF-8 letters
/// A-umlaut and O-umlaut, so tests see that searches use the locale.
class UmlautLocale : public fakes::FakeLocale {
public:
    std::string toLower(std::string_view text) const override
    {
        std::string out = FakeLocale::toLower(text);
        for (std::size_t i = 0; i + 1 < out.size(); ++i) {
            if (out[i] == '\xC3' && (out[i + 1] == '\x84' || out[i + 1] == '\x96'))
                out[i + 1] = static_cast<char>(out[i + 1] + 0x20);
        }
        return out;
    }
};

/// The services besides the locale, which searches never call.
struct UnusedServices {
    fakes::FaultyFileSystem unusedFiles;
    fakes::FakeVolumes unusedVolumes;
    fakes::FakeClock unusedClock;
};

/// The services of a search: the given locale (which must outlive them) and
/// fakes for the rest.
class LocaleServices : private UnusedServices, public Services {
public:
    explicit LocaleServices(const Locale& locale)
        : Services{unusedFiles, unusedVolumes, locale, unusedClock}
    {
    }
    LocaleServices(const LocaleServices&) = delete;
    LocaleServices& operator=(const LocaleServices&) = delete;
};

struct FileProps {
    std::int64_t sizeKB = 1000;
    std::int64_t duration = 60;
    std::int64_t sampleRate10 = 4410;
    std::int64_t channel = 1;
    std::int64_t version = 1;
    std::int64_t layer = 3;
};

inline std::string File(std::string_view name, FileProps p = {},
                        const std::array<std::string, 6>& tags = {})
{
    return collection::FileText(
        name, {p.sizeKB, p.duration, p.sampleRate10, p.channel, p.version, p.layer}, tags);
}

inline std::string Folder(std::string_view name)
{
    return collection::FolderText(name, 0, 0, 0, 0);
}

inline std::string Volume(std::string_view name)
{
    return collection::VolumeText(name, 0, 0, 0, 0, 0, 0);
}

inline std::string Root()
{
    return collection::CollectionText(0, 0, 0, 0, 0);
}

} // namespace velmora::search::testing
