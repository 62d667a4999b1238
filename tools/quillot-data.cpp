// quillot-data dump|add|convert …: looks into and scripts the finance program's table files. Run without
// arguments for the usage.
#include "DataTool.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>
#include <cstdio>
#include <exception>
#include <unistd.h>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // Unbuffered: the tool hands large parts to the output itself.
    QFile standardOutput;
    standardOutput.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
    QTextStream out(&standardOutput);
    QTextStream err(stderr);
    out.setEncoding(QStringConverter::Utf8);
    err.setEncoding(QStringConverter::Utf8);
    try {
        const int status = DataTool::run(app.arguments().mid(1), out, err);
        out.flush();
        return status;
    } catch (const std::exception &error) {
        // Anything outside the program's own failures (memory exhausted) still ends with one line.
        err << "quillot-data: " << error.what() << '\n';
        return 1;
    }
}
