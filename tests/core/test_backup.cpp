#include <gtest/gtest.h>
#include <sys/stat.h>

#include <regex>

#include "core/backup.h"
#include "core/history.h"
#include "core/points.h"
#include "core/state.h"
#include "support/points_support.h"

using tsup::StateHome;

namespace {

// A state folder with four of the five backed-up files (trash.toml was
// never written).
struct Saved : StateHome {
    Saved()
    {
        put("io_points.toml", "# Lumora Music — per-song I/O points\n\n[[song]]\npath = \"/a\"\nin = 1\n\n"
                              "[[song]]\npath = \"/b\"\nout = 9\n\n");
        put("library.toml", "lib v1\n");
        put("originals.toml", "orig v1\n");
        put("io_settings.toml", "settings v1\n");
    }
    void put(const std::string& f, const std::string& text) { tsup::write_file(state(f), text); }
    std::string get(const std::string& f) const { return tsup::read_file(state(f)); }
    std::string in_backup(const std::string& name, const std::string& f) const
    {
        return tsup::read_file(state("backups/" + name + "/" + f));
    }
    int count_backups() const { return static_cast<int>(backup_list().size()); }
};

TEST(Backup, Slug)
{
    EXPECT_EQ(backup_slug("My set: live!"), "My-set--live-");
    EXPECT_EQ(backup_slug("daily"), "daily");
    EXPECT_EQ(backup_slug("über 2"), "--ber-2");  // every byte of a non-ASCII letter
}

TEST(Backup, CreateCopiesExistingFilesAndNamesByTime)
{
    Saved s;
    std::string name = backup_create("My set: live!");
    ASSERT_TRUE(std::regex_match(name, std::regex(R"(\d{4}/\d\d/\d\d/\d{6}(-\d+)?-My-set--live-)"))) << name;
    for (const char* f : {"io_points.toml", "library.toml", "originals.toml", "io_settings.toml"})
        EXPECT_EQ(s.in_backup(name, f), s.get(f)) << f;
    EXPECT_FALSE(tsup::exists(s.state("backups/" + name + "/trash.toml")));
    EXPECT_EQ(state_meta_label(s.state("backups/" + name)), "My set: live!");

    std::string plain = backup_create("");
    EXPECT_TRUE(std::regex_match(plain, std::regex(R"(\d{4}/\d\d/\d\d/\d{6}(-\d+)?)"))) << plain;
}

TEST(Backup, SameSecondGetsSuffix)
{
    Saved s;
    // Make backups until two land in the same second (normally the first pair).
    for (int tries = 0; tries < 5; ++tries) {
        std::string a = backup_create("x"), b = backup_create("x");
        ASSERT_FALSE(a.empty());
        ASSERT_NE(a, b);
        std::string a_time = a.substr(0, a.size() - 2);  // strip "-x"
        if (b.rfind(a_time, 0) == 0) {
            EXPECT_EQ(b, a_time + "-2-x");
            return;
        }
    }
    FAIL() << "never two backups in one second";
}

TEST(Backup, ListNewestFirstWithCounts)
{
    Saved s;
    std::string a = backup_create("one");
    s.put("io_points.toml", "[[song]]\npath = \"/a\"\n");
    std::string b = backup_create("two");
    // A folder without meta.toml is not a backup.
    tsup::write_file(s.state("backups/2000/01/01/000000/io_points.toml"), "[[song]]\n");
    // A hand-made backup with an old id sorts last.
    tsup::write_file(s.state("backups/1999/12/31/235959-old/meta.toml"), "label = \"old\"\n");

    std::vector<BackupInfo> list = backup_list();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].id, b);
    EXPECT_EQ(list[0].label, "two");
    EXPECT_EQ(list[0].songs, 1);
    EXPECT_EQ(list[1].id, a);
    EXPECT_EQ(list[1].songs, 2);
    EXPECT_GT(list[1].time, 1700000000);
    EXPECT_EQ(list[2].id, "1999/12/31/235959-old");
    EXPECT_EQ(list[2].time, 0);
    EXPECT_EQ(list[2].songs, 0);
}

TEST(Backup, ListTakesTimeFromItsOwnLineNotFromTheLabel)
{
    Saved s;
    tsup::write_file(s.state("backups/2001/01/01/000000/meta.toml"), "label = \"time = 5\"\ntime = 1234\n");
    std::vector<BackupInfo> list = backup_list();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].label, "time = 5");
    EXPECT_EQ(list[0].time, 1234);
}

TEST(Backup, DailyOncePerDay)
{
    Saved s;
    EXPECT_TRUE(backup_list().empty());
    backup_daily();
    backup_daily();
    std::vector<BackupInfo> list = backup_list();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].label, "daily");
}

TEST(Backup, RestoreRefusesBadNamesBeforeWriting)
{
    Saved s;
    std::string good = backup_create("good");
    tsup::write_file(s.state("backups/nometa/io_points.toml"), "x");
    tsup::write_file(s.state("evil/meta.toml"), "label = \"e\"\n");
    tsup::write_file(s.state("evil/io_points.toml"), "evil\n");
    std::string before = s.get("io_points.toml");
    for (const std::string& bad : {std::string(), std::string("../x"), std::string("../evil"),
                                   std::string("a/../../evil"), s.state("evil"), std::string("nometa"),
                                   std::string("2020/01/01/000000")}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(backup_restore(bad, false));
    }
    EXPECT_EQ(s.count_backups(), 1);  // no safety backup was taken
    EXPECT_EQ(s.get("io_points.toml"), before);
    EXPECT_FALSE(tsup::exists(s.state("history")));
    EXPECT_FALSE(good.empty());
}

TEST(Backup, FullRestoreIsOneUndoableStep)
{
    Saved s;
    std::string name = backup_create("gig");
    std::string old_points = s.get("io_points.toml");
    s.put("io_points.toml", "[[song]]\npath = \"/new\"\nin = 3\n");
    s.put("library.toml", "lib v2\n");
    s.put("trash.toml", "trash v2\n");  // the backup has none: left alone
    std::string new_points = s.get("io_points.toml");

    ASSERT_TRUE(backup_restore(name, false));
    EXPECT_EQ(s.get("io_points.toml"), old_points);
    EXPECT_EQ(s.get("library.toml"), "lib v1\n");
    EXPECT_EQ(s.get("trash.toml"), "trash v2\n");

    std::vector<BackupInfo> list = backup_list();
    ASSERT_EQ(list.size(), 2u);
    const BackupInfo& safety = list[0].label == "before-restore" ? list[0] : list[1];
    EXPECT_EQ(safety.label, "before-restore");
    EXPECT_EQ(s.in_backup(safety.id, "library.toml"), "lib v2\n");
    EXPECT_EQ(s.in_backup(safety.id, "trash.toml"), "trash v2\n");

    EXPECT_EQ(hist_undo_label(), "Restore " + name);
    EXPECT_EQ(hist_undo(), "Restore " + name);
    EXPECT_EQ(s.get("io_points.toml"), new_points);
}

TEST(Backup, PointsOnlyRestoreStillBacksUpEverything)
{
    Saved s;
    std::string name = backup_create("p");
    s.put("io_points.toml", "changed\n");
    s.put("library.toml", "lib v2\n");
    ASSERT_TRUE(backup_restore(name, true));
    EXPECT_EQ(s.get("library.toml"), "lib v2\n");
    EXPECT_EQ(s.get("io_points.toml"), s.in_backup(name, "io_points.toml"));
    std::vector<BackupInfo> list = backup_list();
    ASSERT_EQ(list.size(), 2u);
    for (const BackupInfo& b : list)
        if (b.label == "before-restore") {
            EXPECT_EQ(s.in_backup(b.id, "library.toml"), "lib v2\n");
        }
}

TEST(Backup, RestoreFailingHalfWayKeepsSafetyCopy)
{
    Saved s;
    std::string name = backup_create("x");
    s.put("io_points.toml", "points v2\n");
    // A folder where originals.toml should be: that write fails after the
    // points and the catalog were already put back.
    std::remove(s.state("originals.toml").c_str());
    ::mkdir(s.state("originals.toml").c_str(), 0755);
    EXPECT_FALSE(backup_restore(name, false));
    for (const BackupInfo& b : backup_list())
        if (b.label == "before-restore") {
            EXPECT_EQ(s.in_backup(b.id, "io_points.toml"), "points v2\n");
        }
    EXPECT_EQ(s.count_backups(), 2);
}

}  // namespace
