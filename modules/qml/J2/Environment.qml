import QtQuick
import QtQuick.Shapes
import ".."

// The window's backdrop, then the title bar and the logo in its corner. The
// backdrop is drawn rather than shown as one window-sized picture, which the
// scene would hold decoded (2.5 MB) for as long as the program runs.
Item {
    id: root
    width: 1024
    height: 640

    function tint(c: color, alpha: real): color {
        return Qt.rgba(c.r, c.g, c.b, alpha);
    }

    Item {
        id: background
        anchors.fill: parent

        Rectangle {
            anchors.fill: parent
            gradient: Gradient {
                GradientStop { position: 0; color: Style.backdropTop }
                GradientStop { position: 1; color: Style.backdropBottom }
            }
        }
        Image {
            anchors.fill: parent
            fillMode: Image.Tile
            horizontalAlignment: Image.AlignLeft
            verticalAlignment: Image.AlignTop
            source: "qrc:/modules/img/backgroundHex.png"
        }
        Shape {
            anchors.fill: parent
            // A warm glow behind the mouse picture.
            ShapePath {
                strokeColor: "transparent"
                fillGradient: RadialGradient {
                    centerX: 500; centerY: 350; centerRadius: 300
                    focalX: 500; focalY: 350
                    GradientStop { position: 0; color: root.tint(Style.colorOrange, 0.22) }
                    GradientStop { position: 0.55; color: root.tint(Style.colorOrange, 0.05) }
                    GradientStop { position: 1; color: root.tint(Style.colorOrange, 0) }
                }
                PathAngleArc { centerX: 500; centerY: 350; radiusX: 300; radiusY: 300; sweepAngle: 360 }
            }
            // Scanner rings and their ticks.
            ShapePath {
                strokeColor: root.tint(Style.colorGray2, 0.10)
                fillColor: "transparent"
                PathAngleArc { centerX: 500; centerY: 352; radiusX: 150; radiusY: 150; sweepAngle: 360 }
            }
            ShapePath {
                strokeColor: root.tint(Style.colorGray2, 0.07)
                fillColor: "transparent"
                PathAngleArc { centerX: 500; centerY: 352; radiusX: 205; radiusY: 205; sweepAngle: 360 }
            }
            ShapePath {
                strokeColor: root.tint(Style.colorGray2, 0.045)
                fillColor: "transparent"
                PathAngleArc { centerX: 500; centerY: 352; radiusX: 262; radiusY: 262; sweepAngle: 360 }
            }
            ShapePath {
                strokeColor: root.tint(Style.colorOrange, 0.5)
                strokeWidth: 2
                capStyle: ShapePath.FlatCap
                PathSvg { path: "M500 82V98M500 606V622M228 352H244M756 352H772" }
            }
            // The floor line and the accent in the bottom-left corner.
            ShapePath {
                strokeColor: root.tint(Style.colorGray1, 0.6)
                capStyle: ShapePath.FlatCap
                PathSvg { path: "M0 600H1024" }
            }
            ShapePath {
                strokeColor: Style.colorOrange
                strokeWidth: 2
                fillColor: "transparent"
                capStyle: ShapePath.FlatCap
                joinStyle: ShapePath.MiterJoin
                PathSvg { path: "M0 637H300L312 625H420" }
            }
        }
        Rectangle {
            y: 638
            width: parent.width
            height: 2
            color: root.tint(Style.colorOrange, 0.35)
        }
    }
    Image {
        id: titleBar
        x: 0
        y: 0
        source: "qrc:/modules/img/titleBar.png"
    }
    Image {
        id: titleLogo
        x: 0
        y: 0
        source: "qrc:/modules/img/titleLogo.png"
    }
}
