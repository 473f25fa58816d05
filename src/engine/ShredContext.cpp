#include "engine/ShredContext.h"

namespace cv {

ShredContext::ShredContext(std::shared_ptr<Algorithm> algorithm, ShredWriter& writer)
    : algorithm(std::move(algorithm)), writer(writer)
{}

std::int64_t ShredContext::allPasses(std::int64_t size) const
{
    return static_cast<std::int64_t>(writer.passesCounted()) * size;
}

void ShredContext::reportFailure(ItemPath path, std::int64_t size, const char* reasonKey, std::string detail,
                                 ShredItem::Kind kind, std::optional<ShredRecord::FileId> id)
{
    if (!delegate)
        return;
    ShredItem item;
    item.fileSize = size;
    item.because(reasonKey, std::move(detail));
    item.kind = kind;
    if (id) {
        item.device = id->device;
        item.inode = id->inode;
    }
    // Only files count among the files and their bytes; a folder, mount point or volume is an
    // error of its own kind.
    if (kind == ShredItem::Kind::File) {
        delegate->fileshredCurrentPath(path);
        delegate->fileshredReportErrorForMissingBytes(allPasses(size));
    }
    item.path = std::move(path);
    delegate->fileshredAddShredItem(std::move(item));
}

} // namespace cv
