#include "platform/core/CFile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int g_writeBudget = -1;
int g_writesMade = 0;

// True when the test hook lets this write or flush go through.
bool SpendWrite() {
    ++g_writesMade;
    if (g_writeBudget < 0) {
        return true;
    }
    if (g_writeBudget == 0) {
        return false;
    }
    --g_writeBudget;
    return true;
}

CFileException::Cause CauseOf(int osError) {
    switch (osError) {
    case ENOENT:
        return CFileException::fileNotFound;
    case ENAMETOOLONG:
    case ENOTDIR:
    case EISDIR:
    case ELOOP:
        return CFileException::badPath;
    case EACCES:
    case EPERM:
    case EROFS:
        return CFileException::accessDenied;
    case ETXTBSY:
    case EBUSY:
        return CFileException::sharingViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return CFileException::diskFull;
    case 0:
        return CFileException::generic;
    default:
        return CFileException::ioError;
    }
}

const char16_t* ReasonOf(CFileException::Cause cause) {
    switch (cause) {
    case CFileException::fileNotFound:
        return u"文件不存在";
    case CFileException::badPath:
        return u"路径无效";
    case CFileException::accessDenied:
        return u"没有访问权限";
    case CFileException::sharingViolation:
        return u"文件正被使用";
    case CFileException::diskFull:
        return u"存储空间已满";
    case CFileException::endOfFile:
        return u"已到文件末尾";
    case CFileException::ioError:
        return u"读写出错";
    case CFileException::none:
    case CFileException::generic:
        break;
    }
    return u"未知错误";
}

} // namespace

void FileFaults::SetWriteBudget(int calls) {
    g_writeBudget = calls;
    g_writesMade = 0;
}

int FileFaults::WritesMade() {
    return g_writesMade;
}

void CFileException::Set(Cause cause, int osError, const CString& fileName) {
    m_cause = cause;
    m_lOsError = osError;
    m_strFileName = fileName;
}

void CFileException::SetFromOsError(int osError, const CString& fileName) {
    Set(CauseOf(osError), osError, fileName);
}

CString CFileException::GetErrorMessage(unsigned maxChars) const {
    CString message;
    message.Format(u"无法访问文件“%s”：%s。", m_strFileName, ReasonOf(m_cause));
    if (maxChars == 0) {
        return CString();
    }
    return message.Left(static_cast<int>(maxChars - 1));
}

bool CFileException::GetErrorMessage(char16_t* buffer, unsigned maxChars) const {
    if (buffer == nullptr || maxChars == 0) {
        return false;
    }
    const CString message = GetErrorMessage(maxChars);
    std::copy_n(message.GetString(), message.GetLength() + 1, buffer);
    return true;
}

CFile::~CFile() {
    Close();
}

bool CFile::Open(const CString& path, unsigned flags, CFileException* error) {
    Close();
    m_lastError = CFileException();
    m_strPath = path;
    const int access = (flags & modeReadWrite) ? O_RDWR : (flags & modeWrite) ? O_WRONLY : O_RDONLY;
    const int fd = ::open(path.ToUtf8().c_str(), access | O_CLOEXEC);
    int osError = fd < 0 ? errno : 0;
    if (fd >= 0) {
        // Folders open read-only on Linux; a library file is never one.
        struct stat info {};
        if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
            ::close(fd);
            osError = EISDIR;
        } else {
            m_fd = fd;
            return true;
        }
    }
    m_lastError.SetFromOsError(osError, path);
    if (error != nullptr) {
        *error = m_lastError;
    }
    return false;
}

bool CFile::Fail(int osError) {
    m_lastError.SetFromOsError(osError, m_strPath);
    return false;
}

namespace {

// Repeats `readSome(destination, wanted, done)`, one system call each, until `count` bytes have
// come or the file ends. Sets `error` when a call fails.
template <class ReadSome>
unsigned ReadFully(void* buffer, unsigned count, int& error, ReadSome readSome) {
    auto* bytes = static_cast<char*>(buffer);
    unsigned done = 0;
    while (done < count) {
        const ssize_t n = readSome(bytes + done, count - done, done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            error = n < 0 ? errno : 0;
            break;
        }
        done += static_cast<unsigned>(n);
    }
    return done;
}

} // namespace

unsigned CFile::Read(void* buffer, unsigned count) {
    if (m_fd < 0) {
        return 0;
    }
    int error = 0;
    const unsigned done = ReadFully(
        buffer, count, error, [&](char* to, unsigned n, unsigned) { return ::read(m_fd, to, n); });
    if (error != 0) {
        Fail(error);
    }
    return done;
}

unsigned CFile::ReadAt(std::uint64_t position, void* buffer, unsigned count) {
    if (m_fd < 0) {
        return 0;
    }
    int error = 0;
    const unsigned done =
        ReadFully(buffer, count, error, [&](char* to, unsigned n, unsigned already) {
            return ::pread(m_fd, to, n, static_cast<off_t>(position + already));
        });
    if (error != 0) {
        Fail(error);
    }
    return done;
}

bool CFile::Write(const void* buffer, unsigned count) {
    if (m_fd < 0) {
        return Fail(EBADF);
    }
    if (!SpendWrite()) {
        return Fail(EIO);
    }
    const auto* bytes = static_cast<const char*>(buffer);
    unsigned done = 0;
    while (done < count) {
        const ssize_t n = ::write(m_fd, bytes + done, count - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return Fail(errno);
        }
        done += static_cast<unsigned>(n);
    }
    return true;
}

std::int64_t CFile::Seek(std::int64_t offset, SeekPosition from) {
    if (m_fd < 0) {
        Fail(EBADF);
        return -1;
    }
    const int whence = from == begin ? SEEK_SET : from == current ? SEEK_CUR : SEEK_END;
    const off_t position = ::lseek(m_fd, static_cast<off_t>(offset), whence);
    if (position < 0) {
        Fail(errno);
        return -1;
    }
    return position;
}

std::int64_t CFile::GetLength() const {
    struct stat info {};
    if (m_fd < 0 || ::fstat(m_fd, &info) != 0) {
        return -1;
    }
    return info.st_size;
}

bool CFile::Flush() {
    if (m_fd < 0) {
        return Fail(EBADF);
    }
    if (!SpendWrite()) {
        return Fail(EIO);
    }
    if (::fdatasync(m_fd) != 0 && errno != EINVAL && errno != EROFS) {
        return Fail(errno);
    }
    return true;
}

std::string_view CFile::MapView() {
    const std::int64_t length = GetLength();
    if (length <= 0 || static_cast<std::uint64_t>(length) > SIZE_MAX) {
        Unmap();
        return {};
    }
    const auto size = static_cast<std::size_t>(length);
    if (m_map == nullptr || m_mapSize != size) {
        Unmap();
        void* map = ::mmap(nullptr, size, PROT_READ, MAP_SHARED | MAP_POPULATE, m_fd, 0);
        if (map == MAP_FAILED) {
            return {};
        }
        m_map = map;
        m_mapSize = size;
    }
    return {static_cast<const char*>(m_map), m_mapSize};
}

void CFile::Unmap() {
    if (m_map != nullptr) {
        ::munmap(m_map, m_mapSize);
        m_map = nullptr;
        m_mapSize = 0;
    }
}

void CFile::Close() {
    Unmap();
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}
