/* Slate: an example skin for Parvenex.
   A skin is a Qt style sheet in UTF-8. Parvenex reads it from "x/o.cjs" in the folder that
   holds the parvenex executable; see README.md. Fonts and control sizes stay as the window
   sets them, so only colours, borders and similar looks are taken from here. Controls are
   addressed by their object names (#mainWindow, #textPane1 ...) or their kinds (QLabel ...). */

#mainWindow {
    background-color: #e4e9ef;
}

QLabel {
    background-color: #e4e9ef;
    color: #1f3a5a;
}

QGroupBox {
    background-color: #e4e9ef;
    border: 1px solid #9fb0c3;
    border-radius: 4px;
    margin-top: 7px;
    color: #1f3a5a;
}

QGroupBox::title {
    subcontrol-origin: margin;
    left: 8px;
    padding: 0 4px;
    background-color: #e4e9ef;
}

QRadioButton {
    background-color: #e4e9ef;
    color: #1d2834;
}

QPushButton {
    background-color: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 #fbfcfd, stop: 1 #d8e1eb);
    border: 1px solid #7d93ab;
    border-radius: 4px;
    color: #14283f;
}

QPushButton:hover {
    background-color: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 #ffffff, stop: 1 #e3ecf6);
    border-color: #3d6b9c;
}

QPushButton:pressed {
    background-color: #c6d4e3;
}

QPushButton:focus {
    border-color: #3d6b9c;
}

QPushButton:disabled {
    color: #8c99a6;
    border-color: #b5c1cd;
}

/* The panes: a dark skin gives them a dark background-color and a light color, which their
   text then takes. */
#textPane1, #textPane2, #resultPane1, #resultPane2 {
    border: 1px solid #9fb0c3;
    background-color: #fbfcfd;
    color: #14283f;
    selection-background-color: #3d6b9c;
    selection-color: #ffffff;
}
