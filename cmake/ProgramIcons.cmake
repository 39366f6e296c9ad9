# varnel_program_icons(TARGET NAME)
# Renders the icon of program NAME (packaging/NAME.svg, and NAME-16.svg, drawn
# on the pixel grid, for the small sizes) into PNGs at the sizes panels and task
# switchers ask for, and builds them into TARGET as the Qt resources
# :/icons/NAME/SIZE.png, which the window takes as its icon. The installation
# puts the same PNGs into the icon theme (packaging/).
find_program(VARNEL_RSVG_CONVERT rsvg-convert REQUIRED)
set(VARNEL_ICON_SIZES 16 24 32 48 64 128)

function(varnel_program_icons target name)
  set(dir ${PROJECT_BINARY_DIR}/icons/${name})
  set(pngs)
  foreach(size IN LISTS VARNEL_ICON_SIZES)
    set(svg ${PROJECT_SOURCE_DIR}/packaging/${name}.svg)
    if(size LESS_EQUAL 24)
      set(svg ${PROJECT_SOURCE_DIR}/packaging/${name}-16.svg)
    endif()
    add_custom_command(OUTPUT ${dir}/${size}.png
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
                       COMMAND ${VARNEL_RSVG_CONVERT} -w ${size} -h ${size} -o ${dir}/${size}.png ${svg}
                       DEPENDS ${svg}
                       COMMENT "Rendering the ${size} px icon of ${name}")
    list(APPEND pngs ${dir}/${size}.png)
  endforeach()
  # Format 1 stores no file times, so that two builds give the same program.
  qt_add_resources(${target} ${name}_icons PREFIX /icons/${name} BASE ${dir} FILES ${pngs}
                   OPTIONS --format-version 1)
endfunction()
