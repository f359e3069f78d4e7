#include "library/LibraryAppend.h"

#include "library/LibraryFiles.h"
#include "library/SearchIndexUpkeep.h"
#include "platform/core/Services.h"

#include <cstdint>
#include <limits>
#include <vector>

namespace LibraryAppend {
namespace {

constexpr const char16_t* kDataFull = u"诗词数据文件已满,不能再加入诗词.";

void ShowFileError(const CFileException& error) {
    AfxMessageBox(error.GetErrorMessage(CFileException::kMaxMessage));
}

bool OpenIndexForAppend(const CString& indexPath, CFile& index, LibraryHeader& header) {
    CFileException error;
    if (!index.Open(indexPath, CFile::modeReadWrite, &error)) {
        ShowFileError(error);
        return false;
    }
    switch (LibraryFiles::ReadHeader(index, header)) {
    case OpenFailure::none:
        break;
    case OpenFailure::notAnIndex:
        AfxMessageBox(kNotAnIndexMessage);
        return false;
    default:
        AfxMessageBox(kCannotReadIndexMessage);
        return false;
    }
    // The new records go right after the ones the header counts; an index that does not hold
    // them all is damaged, and writing past its end would count a hole as poems.
    if (!LibraryFiles::HoldsRecords(index, header.count)) {
        AfxMessageBox(kCannotReadIndexMessage);
        return false;
    }
    return true;
}

// Writes each text followed by its zero byte at the end of the data file, filling in each
// record's offset and length, and flushes.
bool WriteTexts(CFile& data, std::span<const PoemToAppend> poems) {
    const std::int64_t end = data.SeekToEnd();
    if (end < 0) {
        ShowFileError(data.LastError());
        return false;
    }
    // Offsets and lengths are 32 bits: a text that would end past 4 GiB could not be found.
    std::uint64_t offset = static_cast<std::uint64_t>(end);
    for (const PoemToAppend& poem : poems) {
        if (offset + poem.size + 1 > std::numeric_limits<std::uint32_t>::max()) {
            AfxMessageBox(kDataFull);
            return false;
        }
        poem.record->length = poem.size + 1;
        poem.record->offset = static_cast<std::uint32_t>(offset);
        offset += poem.size + 1;
    }
    std::vector<char> bytes;
    bytes.reserve(static_cast<std::size_t>(offset - static_cast<std::uint64_t>(end)));
    for (const PoemToAppend& poem : poems) {
        bytes.insert(bytes.end(), poem.text, poem.text + poem.size);
        bytes.push_back('\0');
    }
    if (!data.Write(bytes.data(), static_cast<unsigned>(bytes.size())) || !data.Flush()) {
        ShowFileError(data.LastError());
        return false;
    }
    return true;
}

bool WriteRecordsAndCount(CFile& index, LibraryHeader& header,
                          std::span<const PoemToAppend> poems) {
    std::vector<PoemRecord> records;
    records.reserve(poems.size());
    for (const PoemToAppend& poem : poems) {
        records.push_back(*poem.record);
    }
    const auto recordBytes = static_cast<unsigned>(records.size() * kRecordSize);
    if (index.Seek(static_cast<std::int64_t>(RecordPosition(header.count)), CFile::begin) < 0 ||
        !index.Write(records.data(), recordBytes) || !index.Flush()) {
        ShowFileError(index.LastError());
        return false;
    }
    header.count += static_cast<std::uint32_t>(poems.size());
    if (index.Seek(0, CFile::begin) < 0 || !index.Write(&header, kHeaderSize) || !index.Flush()) {
        ShowFileError(index.LastError());
        return false;
    }
    return true;
}

} // namespace

bool Append(const CString& indexPath, CFile& data, std::span<const PoemToAppend> poems) {
    CFile index;
    LibraryHeader header{};
    if (!OpenIndexForAppend(indexPath, index, header)) {
        return false;
    }
    if (poems.size() > std::numeric_limits<std::uint32_t>::max() - header.count) {
        AfxMessageBox(kDataFull);
        return false;
    }
    // The texts first, then the records after the counted ones, and the header's new count last:
    // until the count is written, the new texts and records are only stray bytes past what the
    // library counts.
    SearchIndexUpkeep::CAppendUpkeep upkeep(SearchIndexPath(indexPath.ToUtf8()), index, data);
    if (!WriteTexts(data, poems) || !WriteRecordsAndCount(index, header, poems)) {
        return false;
    }
    upkeep.Appended();
    return true;
}

} // namespace LibraryAppend
