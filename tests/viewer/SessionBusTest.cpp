// SPDX-License-Identifier: GPL-2.0-or-later
// The session bus is asked for only where one is running: an address given, or the login
// session's socket present.
#include "viewer/SessionBus.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

enum class TBusEntry { None, Socket, File };

// A listening socket named "bus" in the folder, as a session's bus daemon leaves it.
int BindSocket(const QByteArray& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (fd < 0 || size_t(path.size()) >= sizeof address.sun_path) return -1;
    std::copy(path.begin(), path.end(), address.sun_path);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

struct TBusCase {
    const char* name;
    const char* address;
    bool runtimeDir;
    TBusEntry entry;
    bool expected;
};

class SessionBus : public ::testing::TestWithParam<TBusCase> {};

TEST_P(SessionBus, ReachableOnlyWithoutStartingOne) {
    const TBusCase& c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray folder = QFile::encodeName(dir.path());
    int fd = -1;
    if (c.entry == TBusEntry::Socket) {
        fd = BindSocket(folder + "/bus");
        ASSERT_GE(fd, 0);
    } else if (c.entry == TBusEntry::File) {
        QFile file(dir.filePath(QStringLiteral("bus")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    EXPECT_EQ(SessionBusReachable(c.address, c.runtimeDir ? folder : QByteArray()), c.expected);
    if (fd >= 0) ::close(fd);
}

INSTANTIATE_TEST_SUITE_P(
    Environment, SessionBus,
    ::testing::Values(TBusCase{"addressGiven", "unix:path=/nowhere", false, TBusEntry::None, true},
                      TBusCase{"sessionSocket", "", true, TBusEntry::Socket, true},
                      TBusCase{"plainFileIsNoBus", "", true, TBusEntry::File, false},
                      TBusCase{"noSocket", "", true, TBusEntry::None, false},
                      TBusCase{"nothingAtAll", "", false, TBusEntry::None, false}),
    [](const auto& info) { return std::string(info.param.name); });

// Sets the two variables for the life of the object, then puts back what was there.
class TBusEnvironment {
public:
    TBusEnvironment(const char* address, const char* runtimeDir) {
        Set("DBUS_SESSION_BUS_ADDRESS", address);
        Set("XDG_RUNTIME_DIR", runtimeDir);
    }
    ~TBusEnvironment() {
        for (const auto& [name, value] : m_saved)
            Put(name, value ? value->constData() : nullptr);
    }

private:
    void Set(const char* name, const char* value) {
        m_saved.emplace_back(name, qEnvironmentVariableIsSet(name)
                                       ? std::optional<QByteArray>(qgetenv(name))
                                       : std::nullopt);
        Put(name, value);
    }
    static void Put(const char* name, const char* value) {
        if (value)
            qputenv(name, value);
        else
            qunsetenv(name);
    }
    std::vector<std::pair<const char*, std::optional<QByteArray>>> m_saved;
};

// Without a bus the process names one that fails at once; otherwise the environment stays.
TEST(PreventBusLaunch, NamesAFailingBusOnlyWhereNoneIsReachable) {
    {
        const TBusEnvironment none(nullptr, nullptr);
        EXPECT_TRUE(PreventBusLaunch());
        const QByteArray address = qgetenv("DBUS_SESSION_BUS_ADDRESS");
        EXPECT_TRUE(address.startsWith("unix:path=/dev/null/")) << address.constData();
    }
    {
        const TBusEnvironment given("unix:path=/run/user/1/bus", nullptr);
        EXPECT_FALSE(PreventBusLaunch());
        EXPECT_EQ(qgetenv("DBUS_SESSION_BUS_ADDRESS"), "unix:path=/run/user/1/bus");
    }
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray folder = QFile::encodeName(dir.path());
    const int fd = BindSocket(folder + "/bus");
    ASSERT_GE(fd, 0);
    {
        const TBusEnvironment session(nullptr, folder.constData());
        EXPECT_FALSE(PreventBusLaunch());
        EXPECT_FALSE(qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS"));
    }
    ::close(fd);
}

} // namespace
