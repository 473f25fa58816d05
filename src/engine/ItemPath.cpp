#include "engine/ItemPath.h"

namespace cv {

ItemPath::Folder::Folder(std::shared_ptr<const Folder> parent, std::string name)
    : m_parent(std::move(parent)), m_name(std::move(name)),
      m_length(m_parent ? m_parent->m_length + 1 + m_name.size() : m_name.size())
{}

std::shared_ptr<const ItemPath::Folder> ItemPath::Folder::top(std::string path)
{
    // Written as a walk writes it: "/" becomes "", so that its entries read "/name".
    while (!path.empty() && path.back() == '/')
        path.pop_back();
    return std::shared_ptr<const Folder>(new Folder(nullptr, std::move(path)));
}

std::shared_ptr<const ItemPath::Folder> ItemPath::Folder::below(std::shared_ptr<const Folder> parent,
                                                                std::string_view name)
{
    return std::shared_ptr<const Folder>(new Folder(std::move(parent), std::string(name)));
}

std::string ItemPath::Folder::str() const
{
    std::string text = join(m_parent.get(), m_name);
    return text.empty() ? std::string("/") : text;
}

ItemPath::ItemPath(std::shared_ptr<const Folder> folder, std::string_view name)
    : m_folder(std::move(folder)), m_name(name)
{}

std::string ItemPath::str() const
{
    return m_folder ? join(m_folder.get(), m_name) : m_name;
}

std::string ItemPath::join(const Folder* folder, std::string_view name)
{
    // One allocation of the final length, filled from the name back to the top.
    std::string text((folder ? folder->m_length + 1 : 0) + name.size(), '\0');
    std::size_t end = text.size() - name.size();
    name.copy(text.data() + end, name.size());
    for (; folder; folder = folder->m_parent.get()) {
        text[--end] = '/';
        end -= folder->m_name.size();
        folder->m_name.copy(text.data() + end, folder->m_name.size());
    }
    return text;
}

} // namespace cv
