#include "engine/ContainerNaming.h"

#include "engine/ContainerFormat.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(ContainerNamingTest, GeneratedNamesAreFreshContainerNames)
{
    QTemporaryDir dir;
    QString name;
    ASSERT_EQ(ContainerName(dir.path(), &name), 0);
    EXPECT_TRUE(ContainerFormat::IsContainerFileName(name)) << name.toStdString();
    QString other;
    ASSERT_EQ(ContainerName(dir.path(), &other), 0);
    EXPECT_NE(name, other);
}
