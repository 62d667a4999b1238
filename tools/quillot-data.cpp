// quillot-data dump|add|convert …: looks into and scripts the finance program's table files. Run without
// arguments for the usage.
#include "DataTool.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>
#include <exception>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
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
