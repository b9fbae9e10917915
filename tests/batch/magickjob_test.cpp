#include <gtest/gtest.h>

#include <QFile>

#include "batch/magickjob.h"
#include "support/testfiles.h"

using namespace kadrano::batch;
using kadrano::test::q;
using kadrano::test::TempFolder;

namespace {

QList<QByteArray> bytes(const QStringList& list) {
    QList<QByteArray> out;
    for (const QString& s : list)
        out.append(s.toUtf8());
    return out;
}

const QStringList kSafety = {q("-regard-warnings"), q("-define"), q("filename:literal=true")};

}  // namespace

// Which program lines run as ImageMagick jobs, and what runs for them: the line's own
// arguments behind the safety settings, the output's place left for the new file, the
// first frame only where a conversion could split a picture into several files.
TEST(MagickJobPlan, PictureCommandsOfEveryForm) {
    TempFolder f;
    const QString a = f.write(q("a b.jpg"));
    const QString gif = f.write(q("anim.gif"));
    const QString font = f.write(q("font.ttf"));
    const QString out = f.file(q("neu.png"));

    // In place, as the resize tool writes it.
    auto job =
        planMagickJob({q("convert"), a, q("-resize"), q("2000x2000>"), q("-quality"), q("95"), a},
                      "/usr/bin/convert");
    ASSERT_TRUE(job);
    EXPECT_EQ(job->program, QByteArray("/usr/bin/convert"));
    EXPECT_EQ(job->argv, bytes(QStringList{q("convert")} + kSafety +
                               QStringList{a, q("-resize"), q("2000x2000>"), q("-quality"), q("95"),
                                           QString()}));
    EXPECT_EQ(job->outputSlot, 9);
    EXPECT_EQ(job->input, a);
    EXPECT_EQ(job->output, a);
    EXPECT_FALSE(job->firstFrameOnly);

    // A conversion reads the first frame; a file that is an option's value is no input.
    job = planMagickJob(
        {q("convert"), q("-font"), font, gif, q("-annotate"), q("+0+5"), q("Rom"), out},
        "/usr/bin/convert");
    ASSERT_TRUE(job);
    EXPECT_EQ(job->input, gif);
    EXPECT_TRUE(job->firstFrameOnly);
    EXPECT_EQ(job->argv.mid(4, 3), bytes({q("-font"), font, gif + q("[0]")}));
    // Same format, and jpeg for jpg: every frame stays.
    job = planMagickJob({q("convert"), gif, f.file(q("x.GIF"))}, "/usr/bin/convert");
    EXPECT_FALSE(job->firstFrameOnly);
    job = planMagickJob({q("convert"), a, f.file(q("x.jpeg"))}, "/usr/bin/convert");
    EXPECT_FALSE(job->firstFrameOnly);

    // ImageMagick 7, with its sub-command, and without one and a format before the name.
    job = planMagickJob({q("/opt/IM 7/magick"), q("convert"), a, out}, "/opt/IM 7/magick");
    ASSERT_TRUE(job);
    EXPECT_EQ(job->argv.mid(0, 5),
              bytes(QStringList{q("/opt/IM 7/magick"), q("convert")} + kSafety));
    job = planMagickJob({q("magick"), a, q("-strip"), q("PNG:") + f.file(q("x.dat"))},
                        "/usr/bin/magick");
    ASSERT_TRUE(job);
    EXPECT_EQ(job->outputFormat, q("PNG:"));
    EXPECT_EQ(job->output, f.file(q("x.dat")));
    EXPECT_TRUE(job->firstFrameOnly);

    // mogrify rewrites its file in place: the same change as convert (the one beside it)
    // into a new file.
    const QString convert = f.write(q("bin/convert"), "#!/bin/sh\n");
    QFile::setPermissions(convert, QFile::permissions(convert) | QFile::ExeOwner);
    job = planMagickJob({q("mogrify"), q("-auto-orient"), a}, f.file(q("bin/mogrify")).toUtf8());
    ASSERT_TRUE(job);
    EXPECT_EQ(job->program, convert.toUtf8());
    EXPECT_EQ(job->argv,
              bytes(QStringList{q("convert")} + kSafety + QStringList{a, q("-auto-orient"), {}}));
    EXPECT_EQ(job->input, a);
    EXPECT_EQ(job->output, a);
    job = planMagickJob({q("magick"), q("mogrify"), q("-auto-orient"), a}, "/usr/bin/magick");
    ASSERT_TRUE(job);
    EXPECT_EQ(job->argv,
              bytes(QStringList{q("magick")} + kSafety + QStringList{a, q("-auto-orient"), {}}));
}

// Lines that write no picture of their naming, or several, run exactly as written.
TEST(MagickJobPlan, OtherLinesRunAsWritten) {
    TempFolder f;
    const QString a = f.write(q("a.jpg"));
    const QString b = f.write(q("b.jpg"));
    const QList<QStringList> asWritten = {
        {q("convert"), q("-list"), q("font")},
        {q("convert"), a, q("null:")},
        {q("convert"), a, q("info:")},
        {q("convert"), a, q("-")},
        {q("convert"), a},
        {q("mogrify"), q("-format"), q("png"), a},
        {q("mogrify"), q("-path"), f.path(), a},
        {q("mogrify"), q("-resize"), q("50%"), a, b},
        {q("mogrify"), q("-auto-orient"), f.file(q("fehlt.jpg"))},
        {q("identify"), a},
        {q("magick"), q("identify"), a},
        {q("magick"), q("montage"), a, b, f.file(q("c.jpg"))},
        {q("cp"), a, b},
    };
    for (const QStringList& line : asWritten)
        EXPECT_FALSE(planMagickJob(line, "/usr/bin/" + line.front().toUtf8()))
            << line.join(u' ').toStdString();
    // mogrify without a convert beside it cannot be written the safe way.
    EXPECT_FALSE(planMagickJob({q("mogrify"), q("-auto-orient"), a}, "/nowhere/mogrify"));
}
