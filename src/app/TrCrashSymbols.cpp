#include "TrCrashSymbols.h"

#include <dlfcn.h>
#include <elf.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace TrCrashSymbols
{
namespace
{
struct Image
{
    std::uintptr_t base = 0;
    const Elf64_Sym* symbols = nullptr;
    std::size_t numSymbols = 0;
    const char* names = nullptr;
    std::size_t namesSize = 0;
    bool relocatable = false;
};

constexpr int maxImages = 64;
constexpr std::size_t maxNameLength = 512;
Image images[maxImages];
int numImages = 0;

char executablePath[PATH_MAX] {};
std::uintptr_t executableBase = 0;

// Reads the symbol table of a mapped ELF file; the static table is preferred because it also
// holds the hidden functions a plugin does not export.
void readSymbols (const unsigned char* bytes, std::size_t size, Image& image)
{
    const auto* header = reinterpret_cast<const Elf64_Ehdr*> (bytes);

    if (size < sizeof (Elf64_Ehdr) || std::memcmp (header->e_ident, ELFMAG, SELFMAG) != 0
        || header->e_ident[EI_CLASS] != ELFCLASS64
        || header->e_shoff + header->e_shnum * sizeof (Elf64_Shdr) > size)
        return;

    const auto* sections = reinterpret_cast<const Elf64_Shdr*> (bytes + header->e_shoff);
    const Elf64_Shdr* table = nullptr;

    for (auto wanted : { SHT_SYMTAB, SHT_DYNSYM })
    {
        for (int i = 0; i < header->e_shnum && table == nullptr; ++i)
            if (sections[i].sh_type == static_cast<Elf64_Word> (wanted))
                table = &sections[i];

        if (table != nullptr)
            break;
    }

    if (table == nullptr || table->sh_link >= header->e_shnum)
        return;

    const auto& strings = sections[table->sh_link];
    if (table->sh_offset + table->sh_size > size || strings.sh_offset + strings.sh_size > size)
        return;

    image.symbols = reinterpret_cast<const Elf64_Sym*> (bytes + table->sh_offset);
    image.numSymbols = table->sh_size / sizeof (Elf64_Sym);
    image.names = reinterpret_cast<const char*> (bytes + strings.sh_offset);
    image.namesSize = strings.sh_size;
    image.relocatable = header->e_type == ET_DYN;
}

const Image* imageFor (const char* path, std::uintptr_t base)
{
    for (int i = 0; i < numImages; ++i)
        if (images[i].base == base)
            return &images[i];

    if (numImages == maxImages)
        return nullptr;

    auto& image = images[numImages++];
    image.base = base;

    const int fd = open (path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return &image;

    struct stat info {};
    if (fstat (fd, &info) == 0 && info.st_size > 0)
    {
        const auto size = static_cast<std::size_t> (info.st_size);
        void* mapped = mmap (nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);

        if (mapped != MAP_FAILED)
            readSymbols (static_cast<const unsigned char*> (mapped), size, image);
    }

    close (fd);
    return &image;
}

const Elf64_Sym* functionAt (const Image& image, std::uintptr_t address)
{
    const auto target = image.relocatable ? address - image.base : address;

    for (std::size_t i = 0; i < image.numSymbols; ++i)
    {
        const auto& s = image.symbols[i];

        if (ELF64_ST_TYPE (s.st_info) == STT_FUNC && s.st_shndx != SHN_UNDEF && s.st_name < image.namesSize
            && s.st_value <= target && target < s.st_value + s.st_size)
            return &s;
    }

    return nullptr;
}

}

void prepare()
{
    const auto length = readlink ("/proc/self/exe", executablePath, sizeof (executablePath) - 1);
    executablePath[length > 0 ? length : 0] = 0;

    Dl_info info {};
    if (dladdr (reinterpret_cast<const void*> (&prepare), &info) != 0)
        executableBase = reinterpret_cast<std::uintptr_t> (info.dli_fbase);
}

void describe (const void* address, TrCrashText& out)
{
    const auto pc = reinterpret_cast<std::uintptr_t> (address);
    // Frames above the first hold return addresses, which may already lie past their call's
    // function; one byte back always lies inside it.
    const auto inside = pc - 1;

    Dl_info info {};
    if (dladdr (reinterpret_cast<const void*> (inside), &info) == 0)
    {
        out.add ("???  0x").addHex (pc, 16);
        return;
    }

    const auto base = reinterpret_cast<std::uintptr_t> (info.dli_fbase);
    const char* path = (base == executableBase || info.dli_fname == nullptr || info.dli_fname[0] == 0)
                           ? executablePath
                           : info.dli_fname;

    out.add (path).add ("  0x").addHex (pc, 16).add ("  ");

    const auto* image = imageFor (path, base);
    const auto* symbol = image != nullptr ? functionAt (*image, inside) : nullptr;

    if (symbol != nullptr)
    {
        const auto start = (image->relocatable ? base : 0) + symbol->st_value;
        const auto* name = image->names + symbol->st_name;
        out.add (name, strnlen (name, std::min (image->namesSize - symbol->st_name, maxNameLength)))
            .add (" + 0x")
            .addHex (pc - start);
    }
    else if (info.dli_sname != nullptr)
    {
        out.add (info.dli_sname).add (" + 0x").addHex (pc - reinterpret_cast<std::uintptr_t> (info.dli_saddr));
    }
    else
    {
        out.add ("+ 0x").addHex (pc - base);
    }
}
}
