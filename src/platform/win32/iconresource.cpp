#include "platform/win32/iconresource.h"

#include <cstdint>
#include <cstring>

namespace win32platform {

namespace {

// The icon's name in the resource script.
constexpr const wchar_t *ProgramIconName = L"IDI_ICON1";

// The pictures layouts name, each one image of the program icon.
struct PictureImage
{
    std::u16string_view name;
    int size;
    int bitsPerPixel;
};
constexpr PictureImage Pictures[] = {
    {u"image1", 48, 24},
};

// An icon group in the resources lists its images, each stored on its own.
#pragma pack(push, 2)
struct GroupHeader
{
    std::uint16_t reserved;
    std::uint16_t type;
    std::uint16_t count;
};
struct GroupEntry
{
    std::uint8_t width;
    std::uint8_t height;
    std::uint8_t colours;
    std::uint8_t reserved;
    std::uint16_t planes;
    std::uint16_t bitsPerPixel;
    std::uint32_t bytes;
    std::uint16_t id;
};
#pragma pack(pop)

struct ResourceBytes
{
    const BYTE *data = nullptr;
    DWORD size = 0;
};

ResourceBytes resourceBytes(LPCWSTR name, LPCWSTR type)
{
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC found = FindResourceW(module, name, type);
    if (!found)
        return {};
    const HGLOBAL loaded = LoadResource(module, found);
    if (!loaded)
        return {};
    return {static_cast<const BYTE *>(LockResource(loaded)), SizeofResource(module, found)};
}

// The header of an image stored as a bitmap (a PNG has none): its height
// counts the colour and the mask rows both.
bool isImageOf(const ResourceBytes &image, int size, int bitsPerPixel)
{
    if (image.size < sizeof(BITMAPINFOHEADER))
        return false;
    BITMAPINFOHEADER header;
    std::memcpy(&header, image.data, sizeof header);
    return header.biSize >= sizeof header && header.biWidth == size && header.biHeight == 2 * size
           && header.biBitCount == bitsPerPixel;
}

HICON loadIconImage(int size, int bitsPerPixel)
{
    const ResourceBytes group = resourceBytes(ProgramIconName, RT_GROUP_ICON);
    if (group.size < sizeof(GroupHeader))
        return nullptr;
    GroupHeader header;
    std::memcpy(&header, group.data, sizeof header);
    for (std::size_t i = 0; i < header.count; ++i) {
        const std::size_t offset = sizeof header + i * sizeof(GroupEntry);
        if (offset + sizeof(GroupEntry) > group.size)
            break;
        GroupEntry entry;
        std::memcpy(&entry, group.data + offset, sizeof entry);
        const ResourceBytes image = resourceBytes(MAKEINTRESOURCEW(entry.id), RT_ICON);
        if (isImageOf(image, size, bitsPerPixel))
            return CreateIconFromResourceEx(const_cast<BYTE *>(image.data), image.size, TRUE, 0x00030000, size, size,
                                            LR_DEFAULTCOLOR);
    }
    return nullptr;
}

} // namespace

UniqueIcon loadProgramIcon(int size)
{
    return UniqueIcon(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), ProgramIconName, IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

Picture loadPicture(std::u16string_view name)
{
    for (const PictureImage &picture : Pictures) {
        if (picture.name == name)
            return {UniqueIcon(loadIconImage(picture.size, picture.bitsPerPixel)), picture.size};
    }
    return {};
}

} // namespace win32platform
