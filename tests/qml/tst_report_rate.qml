import QtQuick
import QtTest
import "qrc:/modules/qml/J2/dpiMath.js" as DM

// The report-rate row inside the real window: every choice reaches the
// mouse at once as its rate code.
Item {
    id: top
    width: 1024
    height: 640

    WindowTestCase {
        name: "ReportRate"

        function loadWindow(stored) {
            loadPage(top, "reportRateRect", {}, { "mouse/reportRate": stored });
        }

        function test_rates_data() {
            return [
                { tag: "125Hz", index: 0, code: 8 },
                { tag: "250Hz", index: 1, code: 4 },
                { tag: "500Hz", index: 2, code: 2 },
                { tag: "1000Hz", index: 3, code: 1 }
            ];
        }
        function test_rates(row) {
            loadWindow(row.index);
            page.init(false);
            compare(page.reportRateList.textValue, row.tag);
            compare(calls("ui_View.mouseSetReportRate").length, 0);
            page.init(true);
            compare(calls("ui_View.mouseSetReportRate"), ["ui_View.mouseSetReportRate(" + row.code + ")"]);
        }

        function test_unknownIndexIsFastest_data() {
            return [{ tag: "7", v: 7 }, { tag: "-1", v: -1 }, { tag: "text", v: "fast" },
                    { tag: "missing", v: undefined }];
        }
        function test_unknownIndexIsFastest(row) {
            compare(DM.rateCode(row.v), 1);
            loadWindow(row.v);
            page.init(true);
            compare(page.reportRateList.textValue, "1000Hz");
            compare(calls("ui_View.mouseSetReportRate"), ["ui_View.mouseSetReportRate(1)"]);
        }

        // Choosing through the open list stores and sends at once, without Save.
        function test_choiceStoredAndSentAtOnce() {
            loadWindow(3);
            page.init(false);
            var list = page.reportRateList;
            mouseClick(list, 20, 12);
            tryCompare(list, "animating", false);
            verify(list.isDrop);
            mouseClick(list, 20, 24 + 24 + 12);
            tryCompare(list, "isDrop", false);
            compare(calls("ui_View.setData("), ["ui_View.setData(mouse/reportRate,1)"]);
            compare(calls("ui_View.mouseSetReportRate"), ["ui_View.mouseSetReportRate(4)"]);
            compare(root.anyUnsaved, false);
        }

    }
}
