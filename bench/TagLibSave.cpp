// SPDX-License-Identifier: GPL-3.0-or-later
// velmora-bench-taglib-save [--title T] [--artist A] [--album A] [--track N]
//                           [--year Y] [--comment C] FILE...
//
// The comparison for a bulk tag edit: TagLib's own save of each file, in
// place. The fields given are set through the file's combined tag (the ID3v2
// tag and the ID3v1 tag, where the file has them) and the file is saved with
// MPEG::File::save as ID3v2.3, other tag kinds stripped, ID3v1 kept in step
// with the ID3v2 tag. When the new ID3v2 tag needs more room than the old one
// and its padding give, TagLib moves the rest of the file inside the file
// itself; nothing is synced to the disk. Exits 0 when every file was saved, 1
// when one could not be opened or saved (named on stderr, the others still
// saved), 2 on bad arguments.

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tag.h>
#include <vector>

namespace {

struct Fields {
    std::optional<std::string> title;
    std::optional<std::string> artist;
    std::optional<std::string> album;
    std::optional<unsigned> track;
    std::optional<unsigned> year;
    std::optional<std::string> comment;
};

// "--name value" or "--name=value" at argv[i] (i moved past the value);
// false when argv[i] is not that option.
bool TakeOption(int argc, char** argv, int& i, std::string_view name, std::string& value)
{
    const std::string_view arg = argv[i];
    if (arg.size() > name.size() && arg.substr(0, name.size()) == name && arg[name.size()] == '=') {
        value = std::string(arg.substr(name.size() + 1));
        return true;
    }
    if (arg != name || i + 1 >= argc)
        return false;
    value = argv[++i];
    return true;
}

TagLib::String Utf8(const std::string& text)
{
    return TagLib::String(text, TagLib::String::UTF8);
}

bool Save(const char* path, const Fields& fields)
{
    TagLib::MPEG::File file(path);
    if (!file.isValid() || !file.tag())
        return false;
    TagLib::Tag& tag = *file.tag();
    if (fields.title)
        tag.setTitle(Utf8(*fields.title));
    if (fields.artist)
        tag.setArtist(Utf8(*fields.artist));
    if (fields.album)
        tag.setAlbum(Utf8(*fields.album));
    if (fields.track)
        tag.setTrack(*fields.track);
    if (fields.year)
        tag.setYear(*fields.year);
    if (fields.comment)
        tag.setComment(Utf8(*fields.comment));
    return file.save(TagLib::MPEG::File::AllTags, TagLib::File::StripOthers, TagLib::ID3v2::v3,
                     TagLib::File::Duplicate);
}

int Usage()
{
    std::fprintf(stderr, "usage: velmora-bench-taglib-save [--title T] [--artist A] [--album A] "
                         "[--track N] [--year Y] [--comment C] FILE...\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    Fields fields;
    std::vector<const char*> files;
    for (int i = 1; i < argc; ++i) {
        std::string value;
        if (TakeOption(argc, argv, i, "--title", value))
            fields.title = value;
        else if (TakeOption(argc, argv, i, "--artist", value))
            fields.artist = value;
        else if (TakeOption(argc, argv, i, "--album", value))
            fields.album = value;
        else if (TakeOption(argc, argv, i, "--track", value))
            fields.track = static_cast<unsigned>(std::strtoul(value.c_str(), nullptr, 10));
        else if (TakeOption(argc, argv, i, "--year", value))
            fields.year = static_cast<unsigned>(std::strtoul(value.c_str(), nullptr, 10));
        else if (TakeOption(argc, argv, i, "--comment", value))
            fields.comment = value;
        else if (argv[i][0] == '-')
            return Usage();
        else
            files.push_back(argv[i]);
    }
    if (files.empty())
        return Usage();
    int result = 0;
    for (const char* path : files) {
        if (!Save(path, fields)) {
            std::fprintf(stderr, "velmora-bench-taglib-save: cannot save %s\n", path);
            result = 1;
        }
    }
    return result;
}
