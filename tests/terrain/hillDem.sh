# Sourced by the command-line tests: a made-up land as dem.tif (UTM zone
# 10N) in the current folder, written as an ASCII grid first so every cell
# is known to the centimetre.
#   hillDem COLS ROWS XLLCORNER YLLCORNER CELL Z HOLE
# Z: the elevation as an awk expression of the column c and the row r (from
# the top); HOLE: an awk condition for the cells without data.
hillDem() {
  awk -v cols="$1" -v rows="$2" -v x="$3" -v y="$4" -v cell="$5" "BEGIN {
    printf \"ncols %d\\nnrows %d\\nxllcorner %s\\nyllcorner %s\\ncellsize %s\\nNODATA_value -9999\\n\", cols, rows, x, y, cell
    for (r = 0; r < rows; r++) {
      line = \"\"
      for (c = 0; c < cols; c++) {
        z = $6
        if ($7) z = -9999
        line = line sprintf(\"%.2f \", z)
      }
      print line
    }
  }" > dem.asc
  gdal_translate -q -a_srs EPSG:32610 dem.asc dem.tif
}
